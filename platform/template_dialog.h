// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A modal GTK dialog built from one of the game's dialog templates: every control at its
// template place (dialog units converted with the dialog font's base units), labels as
// given, tab order = template order, the template's default push button as the default,
// a caption without a close box, owned by the main window.
#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "resources/ui_templates.h"

namespace vemol::platform {

// Pixels per four horizontal and per eight vertical dialog units: the average letter
// width and the line height of the dialog font.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

// Deliberate difference: dialog-font.
// The base units of the dialog font ("ＭＳ Ｐゴシック" 9 pt; we draw with IPAPGothic 9 pt,
// the nearest font a Linux desktop has) as the screen renders it.
DialogBaseUnits MeasureDialogBaseUnits();
// The same in `context`, and the width in pixels of `text` in the dialog font there.
DialogBaseUnits MeasureDialogBaseUnits(PangoContext* context);
int DialogTextWidth(PangoContext* context, std::string_view text);

// Dialog units to pixels, rounded to the nearest pixel.
int DialogUnitsToPixelsX(int units, const DialogBaseUnits& base);
int DialogUnitsToPixelsY(int units, const DialogBaseUnits& base);

// Names the widget whose top-left is `owner`'s client area, the point its dialogs'
// template positions count from: the main window's drawing area, under the menu bar.
// Without one the owner's whole inside counts.
void SetDialogClientArea(GtkWindow* owner, GtkWidget* clientArea);

// The screen position for a dialog whose template puts it (x, y) dialog units from the
// client area of `owner`.
GdkPoint DialogScreenPosition(GtkWindow* owner, int x, int y, const DialogBaseUnits& base);

class TemplateDialog {
public:
    // Called with a button's id when it is pressed, and with the escape command for the
    // Escape key or a close request from the desktop. Call end() to close the dialog.
    using CommandHandler = std::function<void(int command)>;

    // IDCANCEL: what Escape reports unless the dialog says otherwise.
    static constexpr int kCancelCommand = 2;

    TemplateDialog(GtkWindow* owner, const resources::DialogTemplate& dialogTemplate);
    ~TemplateDialog();
    TemplateDialog(const TemplateDialog&) = delete;
    TemplateDialog& operator=(const TemplateDialog&) = delete;

    GtkWindow* window() const { return GTK_WINDOW(window_); }
    // The first control with this id (the labels all share 65535), or null.
    GtkWidget* control(int id) const;

    // The text of an edit control, UTF-8.
    std::string text(int id) const;
    void setText(int id, std::string_view text);
    // The picture of an icon control.
    void setImage(int id, GdkPixbuf* image);
    void setEscapeCommand(int command) { escapeCommand_ = command; }
    // While deaf the dialog stays on view and repaints, but its buttons, keys and close
    // requests do nothing: the player waits for the work the last command started.
    void setDeaf(bool deaf) { deaf_ = deaf; }

    // Shows the dialog with the keyboard focus on the dialog itself and runs its modal
    // loop until end(); returns end's result.
    int run(CommandHandler onCommand);
    void end(int result);

private:
    struct Control {
        int id;
        GtkWidget* widget;
        bool tabStop;
    };

    void addControl(const resources::DialogControl& control, const DialogBaseUnits& base);
    void placeNearOwner();
    void moveFocus(bool forward);
    void command(int id);
    static gboolean onKey(GtkWidget*, GdkEventKey* event, gpointer self);
    static gboolean onDelete(GtkWidget*, GdkEvent*, gpointer self);
    static void onClicked(GtkButton* button, gpointer self);

    const resources::DialogTemplate& template_;
    GtkWindow* owner_;
    GtkWidget* window_ = nullptr;
    GtkWidget* fixed_ = nullptr;
    std::vector<Control> controls_;
    DialogBaseUnits base_;
    int escapeCommand_ = kCancelCommand;
    bool deaf_ = false;
    CommandHandler onCommand_;
    GMainLoop* loop_ = nullptr;
    int result_ = 0;
};

}  // namespace vemol::platform
