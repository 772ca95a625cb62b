// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/message_box.h"

namespace vemol::platform {

void ShowMessageBox(GtkWindow* owner, const char* text, const char* caption, MessageKind kind) {
    GtkMessageType type = kind == MessageKind::Error ? GTK_MESSAGE_ERROR : GTK_MESSAGE_OTHER;
    GtkWidget* box = gtk_message_dialog_new(owner, GTK_DIALOG_MODAL, type, GTK_BUTTONS_OK, "%s", text);
    // Deliberate difference: message-box-caption.
    // A box without a caption of its own is captioned with the
    // game's name. Desktops list, switch to and read out windows by their titles, and the
    // system's default caption the original relied on has no GTK counterpart.
    gtk_window_set_title(GTK_WINDOW(box), caption && *caption ? caption : "Vemol");
    // Over the window it speaks for, also where the window system places windows itself.
    if (owner) gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER_ON_PARENT);
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
}

}  // namespace vemol::platform
