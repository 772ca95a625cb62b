// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Building blocks for the device tests: the game's camera, its square and cube meshes,
// small bitmaps made in memory, and picture files.
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/device.h"

namespace gfxtest {

inline constexpr int kWidth = 632;
inline constexpr int kHeight = 453;

vemol::gfx::Matrix gameView();
vemol::gfx::Matrix gameProjection();
void setGameCamera(vemol::gfx::Device& device);

// A square in the plane y = 0 with the corner order of every square in the game:
// (+h, -h), (+h, +h), (-h, -h), (-h, +h), triangles 1-0-2 and 1-2-3.
struct Corner {
    float u, v;
};
inline constexpr Corner kWholeTexture[4] = {{1, 1}, {1, 0}, {0, 1}, {0, 0}};
vemol::gfx::Mesh squareMesh(float half, std::uint32_t diffuse, const Corner (&uv)[4] = kWholeTexture);

// The player's cube of the given side: six groups of four corners, triangles
// (4g, 4g+1, 4g+2) and (4g+2, 4g+3, 4g).
vemol::gfx::Mesh cubeMesh(float side, std::uint32_t diffuse);

vemol::gfx::Matrix translation(float x, float y, float z);
vemol::gfx::Matrix placed(const vemol::gfx::Matrix& rotation, float x, float y, float z);

// An 8-bit bitmap without file header; pixel(x, y) gives the palette index of the pixel
// y rows from the top. Palette entry i is (r, g, b) = palette(i).
struct BitmapLayout {
    int width = 4, height = 4;
    int paletteSize = 256;    // stored in the header as is (0 means 256)
    int storedColours = 256;  // entries actually written
    bool topDown = false;
};
std::vector<std::uint8_t> makeBitmap(const BitmapLayout& layout, std::uint8_t (*pixel)(int x, int y),
                                     std::uint32_t (*palette)(int i));

// Counts pixels of the back buffer that differ from `colour`.
int countNot(const vemol::gfx::Surface& surface, std::uint32_t colour);

bool writePpm(const std::string& path, const vemol::gfx::Surface& surface);
bool readPpm(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgb);

}  // namespace gfxtest
