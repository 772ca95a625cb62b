// Vemol: the entry point.
#include <gtk/gtk.h>

#include <cstdio>

#include "app/application.h"

int main(int argc, char** argv) {
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "vemol: cannot open the display; Vemol needs a graphical desktop (is DISPLAY set?)\n");
        return 1;
    }
    vemol::app::Application application;
    return vemol::RunProgram(application);
}
