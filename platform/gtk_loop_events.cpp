#include "platform/gtk_loop_events.h"

#include <gtk/gtk.h>

namespace vemol::platform {

bool GtkLoopEvents::handleOneEvent() {
    if (gtk_events_pending()) {
        gtk_main_iteration_do(FALSE);
        return true;
    }
    if (quitPosted_) {
        quitTaken_ = true;
        return true;
    }
    return false;
}

void GtkLoopEvents::waitForEvent() {
    if (!quitPosted_) gtk_main_iteration_do(TRUE);
}

}  // namespace vemol::platform
