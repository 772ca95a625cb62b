// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text from a real outline font (DejaVu, through FreeType), rendered to tight masks.
#include "tools/artgen/canvas.h"

#include <string>
#include <string_view>

namespace artgen {

enum class Face { SansBold, SansBoldOblique, SansBook };

struct TextMask {
    Mask mask;         // cropped to the ink
    int baseline = 0;  // row of the baseline, counted from the mask's top row
    int inkLeft = 0;   // ink offset from the pen's starting point
};

// Renders one line of text at a pixel size (the font's em in pixels). Extra spacing
// is added between letters, in pixels.
TextMask renderText(Face face, int pixelSize, std::string_view text, int letterSpacing = 0);

// The largest pixel size whose rendering of the text fits the box.
int fitPixelSize(Face face, std::string_view text, int maxWidth, int maxHeight, int letterSpacing = 0);

// Scales a mask by an integer factor down (box filter), for text drawn large and reduced.
Mask downsample(const Mask& m, int factor);

}  // namespace artgen
