// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Deliberate difference: window-stretches.
// Where the game's picture goes in the drawing area. In a window it is stretched to the
// whole area, as in the original; in fullscreen it keeps its proportions: enlarged by the
// largest whole factor that fits when that is at least 2, otherwise fitted, and centred.
// Whole factors are counted in device pixels, so a high-DPI desktop (GDK_SCALE=2) gets a
// sharp picture too.

namespace vemol::platform {

struct PixelSize {
    int width = 0;
    int height = 0;
};

struct PicturePlacement {
    // In the area's own (logical) pixels.
    double x = 0, y = 0, width = 0, height = 0;
    // Every picture pixel covers a whole number of device pixels across and down, so
    // nearest-neighbour sampling gives hard, even pixel edges.
    bool wholeFactor = false;
};

// `area` in logical pixels, `deviceScale` device pixels per logical pixel.
PicturePlacement PlacePicture(PixelSize area, PixelSize picture, bool fullscreen, int deviceScale);

}  // namespace vemol::platform
