// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: title " - Vemol - ", the menu bar of menu 102, and a drawing area the
// size of the back buffer that shows each presented frame (stretched when the window is
// resized; whole-factor enlarged and centred on black in fullscreen) or, before the first
// frame, the dark window background and the opening clip. F11 toggles fullscreen.
#include <gtk/gtk.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "gfx/device.h"
#include "platform/key_table.h"
#include "platform/wayland_picture.h"
#include "resources/catalogue.h"

namespace vemol::platform {

// Rows [top, bottom) of the picture.
struct RowBand {
    int top = 0, bottom = 0;
    bool empty() const { return top >= bottom; }
};

class MainWindow {
public:
    struct Handlers {
        std::function<void(int command)> onCommand;
        std::function<void()> onDestroy;  // the window is going away: shut down and quit
        std::function<void()> onEscape;   // the Escape key went down (no game key)
    };

    // The drawing area is frameWidth x frameHeight, the size of the frames presented; the
    // window's icon comes from the catalogue's program icon, when it has one.
    MainWindow(KeyTable& keys, Handlers handlers, const resources::Catalogue& catalogue, int frameWidth,
               int frameHeight);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    GtkWindow* window() const { return GTK_WINDOW(window_); }
    void show();
    // Asks the window to close, as its close box does; ends in onDestroy.
    void close();

    // Shows the finished frame at once and paces frames at 60 a second.
    // `written` names the rows that may differ from the frame presented before.
    void present(const gfx::Surface& backBuffer, const gfx::ChangedRows& written);

    // The title bar says when the window shows a replay rather than a game being played.
    void showReplayInTitle(bool replay);

    void setCommandEnabled(int command, bool enabled);
    // Chooses a menu command as a click on its menu item does (nothing while it is grayed).
    void chooseCommand(int command);
    bool menuOpen() const { return openMenus_ > 0; }
    // The game's input counts only while the window has the keyboard focus and no menu
    // of its own is pulled down.
    bool hasFocus() const;
    bool fullscreen() const { return fullscreen_; }

    void showMovieFrame(const std::uint32_t* pixels, int width, int height, int x, int y);
    void clearMovieArea();

private:
    static gboolean onDraw(GtkWidget*, cairo_t* cr, gpointer self);
    static gboolean onKey(GtkWidget*, GdkEventKey* event, gpointer self);
    static gboolean onFocusOut(GtkWidget*, GdkEvent*, gpointer self);
    static gboolean onWindowState(GtkWidget*, GdkEventWindowState* event, gpointer self);
    static void onDestroy(GtkWidget*, gpointer self);
    static void onMenuItem(GtkMenuItem* item, gpointer self);

    void buildMenuBar(GtkWidget* box);
    void onMenuClosed();
    void keepFrameWhereTheDisplayReadsIt();
    void paint(cairo_t* cr);
    cairo_rectangle_int_t areaRectangle(RowBand band) const;
    bool presentOnWayland(RowBand& band);
    void paintNow(RowBand band);
    void paintNow();  // the whole picture
    void toggleFullscreen();
    void pace();

    KeyTable& keys_;
    Handlers handlers_;
    int areaWidth_, areaHeight_;
    GtkWidget* window_ = nullptr;
    GtkWidget* area_ = nullptr;
    std::map<int, GtkWidget*> commandItems_;
    GtkWidget* firstPopup_ = nullptr;  // " File", which the menu-bar key pulls down
    int openMenus_ = 0;
    bool destroyed_ = false;
    bool fullscreen_ = false;  // as the desktop last reported it
    bool paintsOnFrameClock_ = false;

    cairo_surface_t* frame_ = nullptr;         // the last presented frame
    std::unique_ptr<WaylandPicture> wayland_;  // frames straight to a Wayland compositor
    bool waylandTried_ = false;
    cairo_surface_t* movie_ = nullptr;  // the opening clip's current frame
    int movieX_ = 0, movieY_ = 0;
    std::int64_t lastPresentUs_ = 0;
};

}  // namespace vemol::platform
