// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/main_window.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "net/texts.h"
#include "platform/icon.h"
#include "platform/picture_placement.h"
#include "platform/template_dialog.h"
#include "platform/ui_texts.h"
#include "platform/window_system.h"
#include "resources/ui_templates.h"

namespace vemol::platform {
namespace {

constexpr std::int64_t kFrameUs = 1000000 / 60;
constexpr const char* kTitle = " - Vemol - ";

// Copies part of a row into the shown frame when it differs; true when it did.
bool CopyIfChanged(const std::uint8_t* from, std::uint8_t* to, std::size_t bytes) {
    if (std::memcmp(from, to, bytes) == 0) return false;
    std::memcpy(to, from, bytes);
    return true;
}

// Brings a cairo RGB24 surface up to date with a back buffer (16-bit back buffers
// expanded) and returns the rows that changed. Only the parts of rows the device may have
// written since the last frame are looked at: the rest still matches the shown frame.
// Much of what is looked at on the title screen and in play turns out the same as before.
RowBand CopyFrame(const gfx::Surface& from, const gfx::ChangedRows& written, cairo_surface_t* to) {
    cairo_surface_flush(to);
    unsigned char* out = cairo_image_surface_get_data(to);
    const int stride = cairo_image_surface_get_stride(to);
    std::vector<std::uint32_t> expanded(from.format() == gfx::Format::X8R8G8B8 ? 0 : from.width());
    RowBand band{from.height(), 0};
    for (int y = 0; y < from.height(); y++) {
        const gfx::ChangedRows::Span span = written.span(y);
        if (span.empty()) continue;
        const std::uint8_t* row = from.data() + static_cast<std::size_t>(y) * from.pitch();
        if (!expanded.empty()) {
            for (int x = span.left; x < span.right; x++) expanded[x] = from.pixel(x, y);
            row = reinterpret_cast<const std::uint8_t*>(expanded.data());
        }
        const std::size_t skip = static_cast<std::size_t>(span.left) * 4;
        const std::size_t bytes = static_cast<std::size_t>(span.right - span.left) * 4;
        if (!CopyIfChanged(row + skip, out + static_cast<std::size_t>(y) * stride + skip, bytes)) continue;
        band.top = std::min(band.top, y);
        band.bottom = y + 1;
    }
    if (!band.empty()) cairo_surface_mark_dirty_rectangle(to, 0, band.top, from.width(), band.bottom - band.top);
    return band;
}

// Whether the key event is the desktop's key for the menu bar (F10 unless the user
// chose another).
bool IsMenuBarKey(GtkWidget* window, const GdkEventKey* event) {
    gchar* accel = nullptr;
    g_object_get(gtk_widget_get_settings(window), "gtk-menu-bar-accel", &accel, nullptr);
    guint keyval = 0;
    GdkModifierType mods{};
    if (accel && *accel) gtk_accelerator_parse(accel, &keyval, &mods);
    g_free(accel);
    const GdkModifierType mask = gtk_accelerator_get_default_mod_mask();
    return keyval != 0 && gdk_keyval_to_lower(event->keyval) == gdk_keyval_to_lower(keyval) &&
           (event->state & static_cast<guint>(mask)) == static_cast<guint>(mods & mask);
}

}  // namespace

MainWindow::MainWindow(KeyTable& keys, Handlers handlers, const resources::Catalogue& catalogue, int frameWidth,
                       int frameHeight)
    : keys_(keys), handlers_(std::move(handlers)), areaWidth_(frameWidth), areaHeight_(frameHeight) {
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window_), kTitle);
    // Deliberate difference: icon-sizes.
    // The whole icon set, so the desktop picks the size it shows instead of enlarging
    // the 32 x 32 program icon; that one alone if the set cannot be read.
    if (GList* icons = LoadWindowIcons()) {
        gtk_window_set_icon_list(GTK_WINDOW(window_), icons);
        g_list_free_full(icons, g_object_unref);
    } else if (GdkPixbuf* icon = LoadProgramIcon(catalogue)) {
        gtk_window_set_icon(GTK_WINDOW(window_), icon);
        g_object_unref(icon);
    }
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_container_add(GTK_CONTAINER(window_), box);
    buildMenuBar(box);
    area_ = gtk_drawing_area_new();
    gtk_widget_set_size_request(area_, areaWidth_, areaHeight_);
    gtk_box_pack_start(GTK_BOX(box), area_, TRUE, TRUE, 0);
    SetDialogClientArea(GTK_WINDOW(window_), area_);  // dialogs are placed from under the menu bar
    gtk_window_move(GTK_WINDOW(window_), 50, 50);

    g_signal_connect(area_, "draw", G_CALLBACK(onDraw), this);
    g_signal_connect(window_, "key-press-event", G_CALLBACK(onKey), this);
    g_signal_connect(window_, "key-release-event", G_CALLBACK(onKey), this);
    g_signal_connect(window_, "focus-out-event", G_CALLBACK(onFocusOut), this);
    g_signal_connect(window_, "window-state-event", G_CALLBACK(onWindowState), this);
    g_signal_connect(window_, "destroy", G_CALLBACK(onDestroy), this);
    frame_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, areaWidth_, areaHeight_);
    paintsOnFrameClock_ = CommitsOnFrameClock(gtk_widget_get_display(window_));
}

MainWindow::~MainWindow() {
    wayland_.reset();
    if (!destroyed_) {
        destroyed_ = true;  // the program is ending: no second shutdown from the destroy signal
        gtk_widget_destroy(window_);
    }
    if (movie_) cairo_surface_destroy(movie_);
    cairo_surface_destroy(frame_);
}

void MainWindow::buildMenuBar(GtkWidget* box) {
    GtkWidget* bar = gtk_menu_bar_new();
    for (const resources::MenuItem& top : resources::mainMenuBar()) {
        if (top.items.empty()) {
            // The menu bar's items without text only separate the pop-ups.
            gtk_menu_shell_append(GTK_MENU_SHELL(bar), gtk_separator_menu_item_new());
            continue;
        }
        GtkWidget* popupItem = gtk_menu_item_new_with_label(UiText(top.text).c_str());
        GtkWidget* menu = gtk_menu_new();
        g_signal_connect_swapped(menu, "show", G_CALLBACK(+[](MainWindow* w) { w->openMenus_++; }), this);
        g_signal_connect_swapped(menu, "hide", G_CALLBACK(+[](MainWindow* w) { w->onMenuClosed(); }), this);
        for (const resources::MenuItem& entry : top.items) {
            GtkWidget* item = gtk_menu_item_new_with_label(UiText(entry.text).c_str());
            g_object_set_data(G_OBJECT(item), "vemol-command", GINT_TO_POINTER(entry.command));
            g_signal_connect(item, "activate", G_CALLBACK(onMenuItem), this);
            gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
            commandItems_[entry.command] = item;
        }
        gtk_menu_item_set_submenu(GTK_MENU_ITEM(popupItem), menu);
        if (!firstPopup_) firstPopup_ = popupItem;
        gtk_menu_shell_append(GTK_MENU_SHELL(bar), popupItem);
    }
    gtk_box_pack_start(GTK_BOX(box), bar, FALSE, FALSE, 0);
}

// An open menu takes the keyboard: a key let go meanwhile was never seen by the window,
// so every key counts as up again once the menu has closed.
// Deliberate difference: runs-during-move.
// Moving or resizing the window does not hold frames, only a
// pulled-down menu does. Linux desktops move and size windows without a modal loop in the
// program (on Wayland without telling it), so there is nothing reliable to hold on.
void MainWindow::onMenuClosed() {
    openMenus_ = std::max(0, openMenus_ - 1);
    keys_.releaseAll();
}

void MainWindow::show() {
    gtk_widget_show_all(window_);
    gtk_window_move(GTK_WINDOW(window_), 50, 50);
    keepFrameWhereTheDisplayReadsIt();
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

// Once the drawing area has its window, the shown frame moves into an image the display
// can read directly (shared memory on X11), so painting it hands it over without first
// copying it into the display's buffer. Elsewhere this is an ordinary image.
void MainWindow::keepFrameWhereTheDisplayReadsIt() {
    GdkWindow* gdkWindow = gtk_widget_get_window(area_);
    if (!gdkWindow) return;
    cairo_surface_t* shared =
        gdk_window_create_similar_image_surface(gdkWindow, CAIRO_FORMAT_RGB24, areaWidth_, areaHeight_, 1);
    if (cairo_surface_status(shared) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(shared);
        return;
    }
    cairo_t* cr = cairo_create(shared);
    cairo_set_source_surface(cr, frame_, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(frame_);
    frame_ = shared;
}

void MainWindow::close() {
    if (!destroyed_) gtk_window_close(GTK_WINDOW(window_));
}

void MainWindow::showReplayInTitle(bool replay) {
    gtk_window_set_title(GTK_WINDOW(window_), replay ? net::Translated(" - Vemol - replay - ") : kTitle);
}

void MainWindow::setCommandEnabled(int command, bool enabled) {
    auto it = commandItems_.find(command);
    if (it != commandItems_.end()) gtk_widget_set_sensitive(it->second, enabled);
}

void MainWindow::chooseCommand(int command) {
    auto it = commandItems_.find(command);
    if (it != commandItems_.end() && gtk_widget_is_sensitive(it->second))
        gtk_menu_item_activate(GTK_MENU_ITEM(it->second));
}

// Shows only what changed: the rows of the picture that differ from the frame on screen,
// or nothing at all when the picture is the same. The clip of the opening going away
// uncovers the whole area.
void MainWindow::present(const gfx::Surface& backBuffer, const gfx::ChangedRows& written) {
    RowBand band;
    if (backBuffer.width() == areaWidth_ && backBuffer.height() == areaHeight_ && written.width() == areaWidth_ &&
        written.height() == areaHeight_)
        band = CopyFrame(backBuffer, written, frame_);
    if (movie_) {
        cairo_surface_destroy(movie_);
        movie_ = nullptr;
        band = {0, areaHeight_};
    }
    if (presentOnWayland(band)) {
        pace();
        return;
    }
    if (!band.empty()) paintNow(band);
    pace();
}

// On Wayland the frame goes to the compositor through our own surface when the picture
// is shown at 1:1 (see wayland_picture.h); false when GTK must paint it. Handing the
// picture back to GTK repaints it whole, since GTK's area may still show an old one.
bool MainWindow::presentOnWayland(RowBand& band) {
    if (!paintsOnFrameClock_ || destroyed_) return false;
    if (!waylandTried_ && gtk_widget_get_mapped(area_)) {
        waylandTried_ = true;
        wayland_ = WaylandPicture::Create(area_, areaWidth_, areaHeight_);
    }
    if (!wayland_) return false;
    const bool wasShown = wayland_->shown();
    if (wayland_->show(frame_, band.top, band.bottom)) return true;
    if (wasShown) band = {0, areaHeight_};
    return false;
}

// Deliberate difference: frame-pacing.
// A frame is never shown sooner than 1/60 s after the previous one. The original ran
// uncapped; today that would be thousands of frames a second, and everything the game
// counts in frames would be over in a blink.
void MainWindow::pace() {
    const std::int64_t now = g_get_monotonic_time();
    const std::int64_t due = lastPresentUs_ + kFrameUs;
    if (now < due) {
        g_usleep(static_cast<gulong>(due - now));
        lastPresentUs_ = due;
    } else {
        lastPresentUs_ = now;  // late: start afresh rather than rush to catch up
    }
}

// The part of the drawing area that shows the rows of the band, with a pixel to spare
// for the scaling's rounding.
cairo_rectangle_int_t MainWindow::areaRectangle(RowBand band) const {
    const PixelSize area{gtk_widget_get_allocated_width(area_), gtk_widget_get_allocated_height(area_)};
    const PicturePlacement place =
        PlacePicture(area, {areaWidth_, areaHeight_}, fullscreen_, gtk_widget_get_scale_factor(area_));
    const double sy = place.height / areaHeight_;
    const int left = std::max(0, static_cast<int>(std::floor(place.x)) - 1);
    const int right = std::min(area.width, static_cast<int>(std::ceil(place.x + place.width)) + 1);
    const int top = std::max(0, static_cast<int>(std::floor(place.y + band.top * sy)) - 1);
    const int bottom = std::min(area.height, static_cast<int>(std::ceil(place.y + band.bottom * sy)) + 1);
    return {left, top, right - left, bottom - top};
}

// Deliberate difference: frame-painted-at-once.
// Paints into the drawing area at once instead of waiting for GTK's redraw timer, which
// was seen to drop to 30 pictures a second. A Wayland compositor takes a new picture only
// when GTK's frame clock commits it, so there the picture goes through the frame clock.
void MainWindow::paintNow(RowBand band) {
    if (destroyed_) return;
    const cairo_rectangle_int_t rect = areaRectangle(band);
    if (paintsOnFrameClock_) {
        gtk_widget_queue_draw_area(area_, rect.x, rect.y, rect.width, rect.height);
        return;
    }
    GdkWindow* gdkWindow = gtk_widget_get_window(area_);
    if (!gdkWindow || !gtk_widget_get_mapped(area_)) return;
    cairo_region_t* region = cairo_region_create_rectangle(&rect);
    GdkDrawingContext* context = gdk_window_begin_draw_frame(gdkWindow, region);
    paint(gdk_drawing_context_get_cairo_context(context));
    gdk_window_end_draw_frame(gdkWindow, context);
    cairo_region_destroy(region);
    gdk_display_flush(gdk_window_get_display(gdkWindow));
}

void MainWindow::paintNow() { paintNow({0, areaHeight_}); }

void MainWindow::paint(cairo_t* cr) {
    const PixelSize area{gtk_widget_get_allocated_width(area_), gtk_widget_get_allocated_height(area_)};
    const PicturePlacement place =
        PlacePicture(area, {areaWidth_, areaHeight_}, fullscreen_, gtk_widget_get_scale_factor(area_));
    cairo_save(cr);
    if (place.width < area.width || place.height < area.height) {
        // Black around the picture: the bars of fullscreen.
        cairo_rectangle(cr, 0, 0, area.width, area.height);
        cairo_rectangle(cr, place.x, place.y, place.width, place.height);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_fill(cr);
    }

    cairo_translate(cr, place.x, place.y);
    cairo_scale(cr, place.width / areaWidth_, place.height / areaHeight_);
    // Never a blurred picture: whole factors take exact nearest-neighbour pixels.
    const cairo_filter_t filter = place.wholeFactor ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_FAST;
    cairo_set_source_surface(cr, frame_, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), filter);
    cairo_paint(cr);
    if (movie_) {
        cairo_set_source_surface(cr, movie_, movieX_, movieY_);
        cairo_pattern_set_filter(cairo_get_source(cr), filter);
        cairo_paint(cr);
    }
    cairo_restore(cr);
}

void MainWindow::showMovieFrame(const std::uint32_t* pixels, int width, int height, int x, int y) {
    if (!movie_ || cairo_image_surface_get_width(movie_) != width || cairo_image_surface_get_height(movie_) != height) {
        if (movie_) cairo_surface_destroy(movie_);
        movie_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    }
    cairo_surface_flush(movie_);
    unsigned char* out = cairo_image_surface_get_data(movie_);
    const int stride = cairo_image_surface_get_stride(movie_);
    for (int row = 0; row < height; row++)
        std::memcpy(out + row * stride, pixels + static_cast<size_t>(row) * width, static_cast<size_t>(width) * 4);
    cairo_surface_mark_dirty(movie_);
    movieX_ = x;
    movieY_ = y;
    paintNow();
}

void MainWindow::clearMovieArea() {
    if (movie_) cairo_surface_destroy(movie_);
    movie_ = nullptr;
    paintNow();
}

gboolean MainWindow::onDraw(GtkWidget*, cairo_t* cr, gpointer self) {
    static_cast<MainWindow*>(self)->paint(cr);
    return TRUE;
}

gboolean MainWindow::onKey(GtkWidget* widget, GdkEventKey* event, gpointer self) {
    auto* w = static_cast<MainWindow*>(self);
    // F11 belongs to the window, not to the game: it works in every screen and wait.
    if (event->keyval == GDK_KEY_F11) {
        if (event->type == GDK_KEY_PRESS) w->toggleFullscreen();
        return TRUE;
    }
    // Deliberate difference: f10-opens-file.
    // The menu bar opens from the keyboard on F10, with " File" pulled down at once as
    // GTK menus do (the original only highlighted the bar; Down and Enter reach Exit
    // either way). GTK's own handling would select the bar's first item, which is the
    // separator before " File", and nothing would open.
    if (event->type == GDK_KEY_PRESS && w->firstPopup_ && IsMenuBarKey(widget, event)) {
        gtk_widget_mnemonic_activate(w->firstPopup_, FALSE);
        return TRUE;
    }
    if (event->keyval == GDK_KEY_Escape && event->type == GDK_KEY_PRESS && w->handlers_.onEscape)
        w->handlers_.onEscape();
    return w->keys_.onKeyEvent(event->keyval, event->type == GDK_KEY_PRESS) ? TRUE : FALSE;
}

gboolean MainWindow::onFocusOut(GtkWidget*, GdkEvent*, gpointer self) {
    static_cast<MainWindow*>(self)->keys_.releaseAll();
    return FALSE;
}

bool MainWindow::hasFocus() const {
    return !destroyed_ && gtk_window_is_active(GTK_WINDOW(window_)) && openMenus_ == 0;
}

// Asks the desktop; the window-state event that follows says what it did, so leaving
// fullscreen by the desktop's own means is followed as well.
void MainWindow::toggleFullscreen() {
    if (fullscreen_)
        gtk_window_unfullscreen(GTK_WINDOW(window_));
    else
        gtk_window_fullscreen(GTK_WINDOW(window_));
}

gboolean MainWindow::onWindowState(GtkWidget*, GdkEventWindowState* event, gpointer self) {
    auto* w = static_cast<MainWindow*>(self);
    const bool fullscreen = (event->new_window_state & GDK_WINDOW_STATE_FULLSCREEN) != 0;
    if (fullscreen != w->fullscreen_) {
        w->fullscreen_ = fullscreen;
        gtk_widget_queue_draw(w->area_);
    }
    return FALSE;
}

void MainWindow::onDestroy(GtkWidget*, gpointer self) {
    auto* w = static_cast<MainWindow*>(self);
    if (w->destroyed_) return;
    w->destroyed_ = true;
    // Off the screen before the sound shuts down, which takes a while: the desktop sees
    // its close request answered at once.
    w->wayland_.reset();
    gtk_widget_hide(w->window_);
    gdk_display_flush(gtk_widget_get_display(w->window_));
    if (w->handlers_.onDestroy) w->handlers_.onDestroy();
}

void MainWindow::onMenuItem(GtkMenuItem* item, gpointer self) {
    auto* w = static_cast<MainWindow*>(self);
    const int command = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(item), "vemol-command"));
    if (w->handlers_.onCommand) w->handlers_.onCommand(command);
}

}  // namespace vemol::platform
