// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Where the picture goes: stretched in a window, whole-factor or fitted and centred in
// fullscreen, with whole factors counted in device pixels.
#include <gtest/gtest.h>

#include "platform/picture_placement.h"

namespace vemol::platform {
namespace {

constexpr PixelSize kPicture{632, 453};

void ExpectPlaced(const PicturePlacement& p, double x, double y, double w, double h, bool whole) {
    EXPECT_DOUBLE_EQ(p.x, x);
    EXPECT_DOUBLE_EQ(p.y, y);
    EXPECT_DOUBLE_EQ(p.width, w);
    EXPECT_DOUBLE_EQ(p.height, h);
    EXPECT_EQ(p.wholeFactor, whole);
}

TEST(PicturePlacement, FullscreenTakesTheLargestWholeFactorCentred) {
    // 1080p under a 25-pixel menu bar: 3 times would be too tall, so twice.
    ExpectPlaced(PlacePicture({1920, 1055}, kPicture, true, 1), 328, 74, 1264, 906, true);
    // A 4K screen: four times, 5 would be too tall.
    ExpectPlaced(PlacePicture({3840, 2135}, kPicture, true, 1), 656, 161, 2528, 1812, true);
}

TEST(PicturePlacement, FullscreenFitsWhenTwiceDoesNotFit) {
    // Between once and twice: fitted to the width, proportions kept.
    ExpectPlaced(PlacePicture({1024, 743}, kPicture, true, 1), 0, 4, 1024, 734, false);
    // Smaller than the picture: fitted down to the width as well.
    ExpectPlaced(PlacePicture({400, 300}, kPicture, true, 1), 0, 6, 400, 287, false);
}

TEST(PicturePlacement, WindowStretchesToTheWholeArea) {
    ExpectPlaced(PlacePicture({632, 453}, kPicture, false, 1), 0, 0, 632, 453, true);
    ExpectPlaced(PlacePicture({700, 500}, kPicture, false, 1), 0, 0, 700, 500, false);
}

TEST(PicturePlacement, HighDpiCountsDevicePixels) {
    // GDK_SCALE=2: the window's 632 x 453 logical pixels are twice that on the screen.
    ExpectPlaced(PlacePicture({632, 453}, kPicture, false, 2), 0, 0, 632, 453, true);
    // Fullscreen 1080p at scale 2: a 960 x 527 logical area, the picture twice its size
    // in device pixels; an odd device offset is half a logical pixel.
    ExpectPlaced(PlacePicture({960, 527}, kPicture, true, 2), 164, 37, 632, 453, true);
    ExpectPlaced(PlacePicture({961, 527}, kPicture, true, 2), 164.5, 37, 632, 453, true);
}

}  // namespace
}  // namespace vemol::platform
