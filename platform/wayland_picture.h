// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// On Wayland, the game's frames go to the compositor through a surface of our own laid
// over the drawing area (a sub-surface of the window), from a few shared-memory buffers
// the compositor reads directly. Each frame copies only the rows that changed into a free
// buffer and tells the compositor only those rows changed. GTK's own way would take a
// fresh buffer for the whole window every frame while the compositor still holds the
// last one, copy the old picture into it and paint through cairo: most of the game's CPU
// on Wayland went there. Used only while the picture is shown at 1:1; stretched,
// fullscreen or high-DPI pictures go through GTK.
#include <gtk/gtk.h>

#include <memory>

namespace vemol::platform {

class WaylandPicture {
public:
    // Null unless the area is on a Wayland display that offers what this needs.
    static std::unique_ptr<WaylandPicture> Create(GtkWidget* area, int width, int height);
    ~WaylandPicture();
    WaylandPicture(const WaylandPicture&) = delete;
    WaylandPicture& operator=(const WaylandPicture&) = delete;

    // Shows `frame` (width x height, RGB24) whose rows [top, bottom) changed since the
    // last call; false, with our surface taken away, when the area does not show the
    // picture at 1:1, so GTK must paint it.
    bool show(cairo_surface_t* frame, int top, int bottom);
    bool shown() const;

    struct Parts;

private:
    explicit WaylandPicture(std::unique_ptr<Parts> parts);
    void hide();
    std::unique_ptr<Parts> parts_;
};

}  // namespace vemol::platform
