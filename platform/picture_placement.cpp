// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/picture_placement.h"

#include <algorithm>
#include <cmath>

namespace vemol::platform {

PicturePlacement PlacePicture(PixelSize area, PixelSize picture, bool fullscreen, int deviceScale) {
    const int scale = std::max(1, deviceScale);
    const int areaWidth = std::max(0, area.width) * scale;  // device pixels from here on
    const int areaHeight = std::max(0, area.height) * scale;
    if (picture.width <= 0 || picture.height <= 0) return {};

    int width = areaWidth, height = areaHeight;
    // Deliberate difference: additions.
    if (fullscreen) {
        const int factor = std::min(areaWidth / picture.width, areaHeight / picture.height);
        if (factor >= 2) {
            width = picture.width * factor;
            height = picture.height * factor;
        } else {
            const double fit = std::min(double(areaWidth) / picture.width, double(areaHeight) / picture.height);
            width = std::min(areaWidth, int(std::lround(picture.width * fit)));
            height = std::min(areaHeight, int(std::lround(picture.height * fit)));
        }
    }
    PicturePlacement placed;
    placed.x = double((areaWidth - width) / 2) / scale;
    placed.y = double((areaHeight - height) / 2) / scale;
    placed.width = double(width) / scale;
    placed.height = double(height) / scale;
    placed.wholeFactor = width > 0 && height > 0 && width % picture.width == 0 && height % picture.height == 0;
    return placed;
}

}  // namespace vemol::platform
