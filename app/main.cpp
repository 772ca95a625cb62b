// Vemol: the entry point.
#include <gtk/gtk.h>

#include <cstdio>

#include "app/application.h"

// The desktop entry's id. As the program name (Wayland's app id, X11's WM_CLASS name) and
// class it lets the desktop find the entry, show its icon and group our windows under it.
constexpr const char* kApplicationId = "io.github.vemol.Vemol";

int main(int argc, char** argv) {
    g_set_prgname(kApplicationId);
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "vemol: cannot open the display; Vemol needs a graphical desktop (is DISPLAY set?)\n");
        return 1;
    }
    gdk_set_program_class(kApplicationId);
    vemol::app::Application application;
    return vemol::RunProgram(application);
}
