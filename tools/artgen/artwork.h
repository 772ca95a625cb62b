// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every piece of artwork the game embeds, as the generator makes it.
#include "tools/artgen/canvas.h"
#include "tools/artgen/containers.h"

#include <vector>

namespace artgen {

// Shared look of a die face: ivory body, bevelled rim, navy pips, a large red single pip.
void drawDieFace(Canvas& c, float left, float top, float size, int pips, float cornerRadius);
// The same face centred at (cx, cy) and turned by angle radians.
void drawDieFaceTurned(Canvas& c, float cx, float cy, float size, int pips, float cornerRadius, float angle);

Canvas makeDiceSheet();                        // SAI, 256 x 256
Canvas makeBoard();                            // BG, 512 x 512
Canvas makeTitle();                            // OPENING, 512 x 512
Canvas makeHudSheet();                         // EFFECT, 640 x 480
Canvas makeBlast();                            // BOMBA, 128 x 128
Canvas makePointPopup(int points, int width);  // S10..S60, 32 high

// The program icon: 32 x 32 pixels over 16 colours, with its transparency mask.
struct IconArt {
    std::vector<Rgb8> palette;
    std::vector<std::uint8_t> pixels;
    std::vector<bool> transparent;
};
IconArt makeIcon();
// The same die for the desktop's icon theme: size x size pixels, smooth edges.
RgbaImage makeDesktopIcon(int size);

Movie makeOpeningMovie();  // AVI 115

std::vector<float> makeHitSound();     // stereo, 22050 Hz
std::vector<float> makeMoveSound();    // mono, 11025 Hz
std::vector<float> makeSelectSound();  // mono, 22050 Hz
std::vector<float> makeStartSound();   // mono, 22050 Hz

std::vector<MidiTrack> makeTune();  // BGM01.MID: tempo track and 32 more

// The HUD copies a pixel unless the low byte of its 16-bit form is 0x1F; drawn colours
// keep their blue below this so no 16-bit conversion can reach that value.
constexpr float kHudMaxDrawnBlue = 0.86f;

}  // namespace artgen
