#include "platform/message_box.h"

namespace vemol::platform {

void ShowMessageBox(GtkWindow* owner, const char* text, const char* caption, MessageKind kind) {
    GtkMessageType type = kind == MessageKind::Error ? GTK_MESSAGE_ERROR : GTK_MESSAGE_OTHER;
    GtkWidget* box = gtk_message_dialog_new(owner, GTK_DIALOG_MODAL, type, GTK_BUTTONS_OK, "%s", text);
    gtk_window_set_title(GTK_WINDOW(box), caption && *caption ? caption : "Vemol");
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
}

}  // namespace vemol::platform
