// Vemol: the entry point.
#include <gtk/gtk.h>

#include <cstdio>

#include "app/application.h"

// The desktop entry's id. As the program name (Wayland's app id, X11's WM_CLASS name) and
// class it lets the desktop find the entry, show its icon and group our windows under it.
constexpr const char* kApplicationId = "io.github.vemol.Vemol";

namespace {

// We draw in software and never ask GDK for OpenGL, yet GDK probes it while it opens the
// display, loading the system's GL driver (on a software-rendered desktop a whole shader
// compiler): about half the CPU of getting the window on screen. The probe is switched off
// for GDK's start only, unless the player chose otherwise, so programs the game starts
// (the browser) inherit nothing.
bool SkipOpenGlProbe() {
    if (g_getenv("GDK_GL")) return false;
    g_setenv("GDK_GL", "disable", TRUE);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    g_set_prgname(kApplicationId);
    const bool probeSkipped = SkipOpenGlProbe();
    const bool displayOpen = gtk_init_check(&argc, &argv);
    if (probeSkipped) g_unsetenv("GDK_GL");
    if (!displayOpen) {
        std::fprintf(stderr, "vemol: cannot open the display; Vemol needs a graphical desktop (is DISPLAY set?)\n");
        return 1;
    }
    gdk_set_program_class(kApplicationId);
    vemol::app::Application application;
    return vemol::RunProgram(application);
}
