#include "platform/display.h"

#include <gtk/gtk.h>

namespace vemol::platform {

bool OpenDisplay(int& argc, char**& argv, const char* applicationId) {
    g_set_prgname(applicationId);
    if (!gtk_init_check(&argc, &argv)) return false;
    gdk_set_program_class(applicationId);
    return true;
}

}  // namespace vemol::platform
