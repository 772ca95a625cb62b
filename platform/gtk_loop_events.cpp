// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gtk_loop_events.h"

#include <gtk/gtk.h>

#include <cmath>

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

void GtkLoopEvents::waitForEvent(float seconds) {
    if (quitPosted_) return;
    if (seconds < 0.0f) {
        gtk_main_iteration_do(TRUE);
        return;
    }
    // A timer wakes the wait when nothing else does; rounded up, so the game never wakes
    // before it has something to do.
    bool woken = false;
    const guint timer = g_timeout_add_full(
        G_PRIORITY_DEFAULT, static_cast<guint>(std::ceil(seconds * 1000.0f)),
        +[](gpointer flag) -> gboolean {
            *static_cast<bool*>(flag) = true;
            return G_SOURCE_REMOVE;
        },
        &woken, nullptr);
    gtk_main_iteration_do(TRUE);
    if (!woken) g_source_remove(timer);
}

}  // namespace vemol::platform
