// Vemol: the entry point.
#include <cstdio>

#include "app/application.h"
#include "platform/display.h"

// The desktop entry's id. As the program name (Wayland's app id, X11's WM_CLASS name) and
// class it lets the desktop find the entry, show its icon and group our windows under it.
constexpr const char* kApplicationId = "io.github.vemol.Vemol";

int main(int argc, char** argv) {
    if (!vemol::platform::OpenDisplay(argc, argv, kApplicationId)) {
        std::fprintf(stderr, "vemol: cannot open the display; Vemol needs a graphical desktop (is DISPLAY set?)\n");
        return 1;
    }
    vemol::app::Application application;
    return vemol::RunProgram(application);
}
