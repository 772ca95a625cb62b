// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/template_dialog.h"

#include <algorithm>
#include <string>

#include "platform/ui_texts.h"
#include "platform/window_system.h"

namespace vemol::platform {
namespace {

using resources::ControlClass;
namespace style = resources::style;

constexpr const char* kDialogFontFamily = "IPAPGothic";
constexpr int kDialogFontPoints = 9;
constexpr const char* kStyleClass = "vemol-template-dialog";
constexpr const char* kClientAreaKey = "vemol-client-area";

// The dialog font everywhere in the dialog, and controls no taller than their template
// places (the desktop theme's padding would not fit a 14-unit button or edit box).
void InstallDialogStyle() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    GtkCssProvider* css = gtk_css_provider_new();
    std::string rules = std::string(".") + kStyleClass + ", ." + kStyleClass + " * { font-family: \"" +
                        kDialogFontFamily + "\"; font-size: " + std::to_string(kDialogFontPoints) + "pt; }\n." +
                        kStyleClass + " entry { min-height: 0; padding: 0 2px; }\n." + kStyleClass +
                        " button { min-height: 0; min-width: 0; padding: 0 2px; }\n";
    gtk_css_provider_load_from_data(css, rules.c_str(), -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(css);
}

int RoundedScale(int units, int base, int divisor) { return (units * base + divisor / 2) / divisor; }

GtkWidget* MakeWidget(const resources::DialogControl& control) {
    switch (control.kind) {
        case ControlClass::Button: return gtk_button_new_with_label(UiText(control.text).c_str());
        case ControlClass::Edit: {
            GtkWidget* entry = gtk_entry_new();
            gtk_entry_set_width_chars(GTK_ENTRY(entry), 1);
            gtk_entry_set_has_frame(GTK_ENTRY(entry), (control.style & style::WS_BORDER) != 0);
            if (control.style & style::ES_READONLY) gtk_editable_set_editable(GTK_EDITABLE(entry), FALSE);
            return entry;
        }
        case ControlClass::Static: break;
    }
    if ((control.style & 0xFu) == style::SS_ICON) return gtk_image_new();
    GtkWidget* label = gtk_label_new(UiText(control.text).c_str());
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
    // One line each: every label of our templates fits its place, and a wrapping label
    // would ask the layout for the height of its narrowest wrap, not of its place.
    gtk_label_set_single_line_mode(GTK_LABEL(label), TRUE);
    return label;
}

}  // namespace

namespace {

PangoLayout* DialogFontLayout(PangoContext* context, std::string_view text) {
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, kDialogFontFamily);
    pango_font_description_set_size(font, kDialogFontPoints * PANGO_SCALE);
    pango_context_set_font_description(context, font);
    pango_font_description_free(font);
    PangoLayout* layout = pango_layout_new(context);
    pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
    return layout;
}

}  // namespace

DialogBaseUnits MeasureDialogBaseUnits(PangoContext* context) {
    PangoLayout* layout = DialogFontLayout(context, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    PangoFontMetrics* metrics =
        pango_context_get_metrics(context, pango_context_get_font_description(context), nullptr);
    int lineHeight =
        PANGO_PIXELS_CEIL(pango_font_metrics_get_ascent(metrics) + pango_font_metrics_get_descent(metrics));
    pango_font_metrics_unref(metrics);
    g_object_unref(layout);
    // The average letter width, rounded as the classic dialog manager rounds it.
    return {std::max(1, (width / 26 + 1) / 2), std::max(1, lineHeight)};
}

int DialogTextWidth(PangoContext* context, std::string_view text) {
    PangoLayout* layout = DialogFontLayout(context, text);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    return width;
}

DialogBaseUnits MeasureDialogBaseUnits() {
    static DialogBaseUnits cached;
    if (cached.x > 0) return cached;
    PangoContext* context = gdk_pango_context_get();
    cached = MeasureDialogBaseUnits(context);
    g_object_unref(context);
    return cached;
}

int DialogUnitsToPixelsX(int units, const DialogBaseUnits& base) { return RoundedScale(units, base.x, 4); }
int DialogUnitsToPixelsY(int units, const DialogBaseUnits& base) { return RoundedScale(units, base.y, 8); }

void SetDialogClientArea(GtkWindow* owner, GtkWidget* clientArea) {
    g_object_set_data(G_OBJECT(owner), kClientAreaKey, clientArea);
}

GdkPoint DialogScreenPosition(GtkWindow* owner, int x, int y, const DialogBaseUnits& base) {
    GdkPoint at{0, 0};
    gdk_window_get_origin(gtk_widget_get_window(GTK_WIDGET(owner)), &at.x, &at.y);
    auto* area = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(owner), kClientAreaKey));
    int areaX = 0, areaY = 0;
    if (area && gtk_widget_translate_coordinates(area, GTK_WIDGET(owner), 0, 0, &areaX, &areaY)) {
        at.x += areaX;
        at.y += areaY;
    }
    return {at.x + DialogUnitsToPixelsX(x, base), at.y + DialogUnitsToPixelsY(y, base)};
}

TemplateDialog::TemplateDialog(GtkWindow* owner, const resources::DialogTemplate& dialogTemplate)
    : template_(dialogTemplate), owner_(owner) {
    InstallDialogStyle();
    base_ = MeasureDialogBaseUnits();

    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_style_context_add_class(gtk_widget_get_style_context(window_), kStyleClass);
    gtk_window_set_title(GTK_WINDOW(window_), std::string(template_.caption).c_str());
    gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
    gtk_window_set_deletable(GTK_WINDOW(window_), FALSE);  // caption without a system menu
    gtk_window_set_modal(GTK_WINDOW(window_), TRUE);
    gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window_), TRUE);
    if (owner_) gtk_window_set_transient_for(GTK_WINDOW(window_), owner_);

    fixed_ = gtk_fixed_new();
    gtk_widget_set_size_request(fixed_, DialogUnitsToPixelsX(template_.width, base_),
                                DialogUnitsToPixelsY(template_.height, base_));
    gtk_container_add(GTK_CONTAINER(window_), fixed_);
    for (const resources::DialogControl& control : template_.controls) addControl(control, base_);

    g_signal_connect(window_, "key-press-event", G_CALLBACK(onKey), this);
    g_signal_connect(window_, "delete-event", G_CALLBACK(onDelete), this);
}

TemplateDialog::~TemplateDialog() {
    if (loop_) g_main_loop_unref(loop_);
    gtk_widget_destroy(window_);
}

void TemplateDialog::addControl(const resources::DialogControl& control, const DialogBaseUnits& base) {
    GtkWidget* widget = MakeWidget(control);
    bool isIcon = control.kind == ControlClass::Static && (control.style & 0xFu) == style::SS_ICON;
    // An icon control takes the icon's own size, whatever its template rectangle says.
    if (!isIcon)
        gtk_widget_set_size_request(widget, DialogUnitsToPixelsX(control.width, base),
                                    DialogUnitsToPixelsY(control.height, base));
    gtk_widget_set_can_focus(widget, (control.style & style::WS_TABSTOP) != 0);
    gtk_fixed_put(GTK_FIXED(fixed_), widget, DialogUnitsToPixelsX(control.x, base),
                  DialogUnitsToPixelsY(control.y, base));
    if (control.kind == ControlClass::Button) {
        g_object_set_data(G_OBJECT(widget), "vemol-command", GINT_TO_POINTER(control.id));
        g_signal_connect(widget, "clicked", G_CALLBACK(onClicked), this);
        if ((control.style & 0xFu) == style::BS_DEFPUSHBUTTON) {
            gtk_widget_set_can_default(widget, TRUE);
            gtk_window_set_default(GTK_WINDOW(window_), widget);
        }
    }
    // Enter in an edit box presses the default button, as in the classic dialogs.
    if (control.kind == ControlClass::Edit) gtk_entry_set_activates_default(GTK_ENTRY(widget), TRUE);
    controls_.push_back({control.id, widget, (control.style & style::WS_TABSTOP) != 0});
}

GtkWidget* TemplateDialog::control(int id) const {
    for (const Control& c : controls_)
        if (c.id == id) return c.widget;
    return nullptr;
}

std::string TemplateDialog::text(int id) const {
    GtkWidget* widget = control(id);
    if (!widget || !GTK_IS_ENTRY(widget)) return {};
    return gtk_entry_get_text(GTK_ENTRY(widget));
}

void TemplateDialog::setText(int id, std::string_view text) {
    GtkWidget* widget = control(id);
    std::string value(text);
    if (widget && GTK_IS_ENTRY(widget))
        gtk_entry_set_text(GTK_ENTRY(widget), value.c_str());
    else if (widget && GTK_IS_LABEL(widget))
        gtk_label_set_text(GTK_LABEL(widget), value.c_str());
}

void TemplateDialog::setImage(int id, GdkPixbuf* image) {
    GtkWidget* widget = control(id);
    if (widget && GTK_IS_IMAGE(widget)) gtk_image_set_from_pixbuf(GTK_IMAGE(widget), image);
}

// The template places the dialog in dialog units from the owner's client area. Where the
// window system places windows itself (Wayland), the dialog asks to be centred on its
// owner instead, which the compositor may honour.
void TemplateDialog::placeNearOwner() {
    if (!owner_ || !gtk_widget_get_window(GTK_WIDGET(owner_))) {
        gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
        return;
    }
    if (PlacesWindowsItself(gtk_widget_get_display(window_))) {
        gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER_ON_PARENT);
        return;
    }
    const GdkPoint at = DialogScreenPosition(owner_, template_.x, template_.y, base_);
    gtk_window_move(GTK_WINDOW(window_), at.x, at.y);
}

int TemplateDialog::run(CommandHandler onCommand) {
    onCommand_ = std::move(onCommand);
    placeNearOwner();
    gtk_widget_show_all(window_);
    gtk_window_present(GTK_WINDOW(window_));
    gtk_window_set_focus(GTK_WINDOW(window_), nullptr);  // the focus on the dialog itself
    if (!loop_) loop_ = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop_);
    gtk_widget_hide(window_);
    onCommand_ = nullptr;
    return result_;
}

void TemplateDialog::end(int result) {
    result_ = result;
    if (loop_ && g_main_loop_is_running(loop_)) g_main_loop_quit(loop_);
}

void TemplateDialog::command(int id) {
    if (onCommand_ && !deaf_) onCommand_(id);
}

// Tab and Shift+Tab walk the tab stops in template order, wrapping around.
void TemplateDialog::moveFocus(bool forward) {
    std::vector<GtkWidget*> stops;
    for (const Control& c : controls_)
        if (c.tabStop && gtk_widget_is_sensitive(c.widget)) stops.push_back(c.widget);
    if (stops.empty()) return;
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window_));
    auto at = std::find(stops.begin(), stops.end(), focus);
    std::size_t next;
    if (at == stops.end())
        next = forward ? 0 : stops.size() - 1;
    else {
        std::size_t index = static_cast<std::size_t>(at - stops.begin());
        next = forward ? (index + 1) % stops.size() : (index + stops.size() - 1) % stops.size();
    }
    gtk_widget_grab_focus(stops[next]);
}

gboolean TemplateDialog::onKey(GtkWidget*, GdkEventKey* event, gpointer self) {
    auto* dialog = static_cast<TemplateDialog*>(self);
    if (dialog->deaf_) return TRUE;  // nothing typed reaches the fields either
    switch (event->keyval) {
        case GDK_KEY_Escape: dialog->command(dialog->escapeCommand_); return TRUE;
        case GDK_KEY_Tab:
        case GDK_KEY_KP_Tab: dialog->moveFocus((event->state & GDK_SHIFT_MASK) == 0); return TRUE;
        case GDK_KEY_ISO_Left_Tab: dialog->moveFocus(false); return TRUE;
        default: return FALSE;
    }
}

gboolean TemplateDialog::onDelete(GtkWidget*, GdkEvent*, gpointer self) {
    auto* dialog = static_cast<TemplateDialog*>(self);
    dialog->command(dialog->escapeCommand_);
    return TRUE;  // the handler decides whether the dialog closes
}

void TemplateDialog::onClicked(GtkButton* button, gpointer self) {
    int id = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "vemol-command"));
    static_cast<TemplateDialog*>(self)->command(id);
}

}  // namespace vemol::platform
