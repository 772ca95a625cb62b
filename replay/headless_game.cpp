// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "replay/headless_game.h"

#include "game/device_objects.h"
#include "game/init_device.h"
#include "resources/catalogue.h"

namespace vemol::replay::detail {

HeadlessGame::HeadlessGame() {
    g_.sound = &sound_;
    g_.shell = &shell_;
    // A checked game never touches the best-score file.
    g_.bestScorePath.clear();
    g_.bestScoreKeepable = false;
    g_.device = std::make_unique<gfx::Device>(kBackBufferWidth, kBackBufferHeight);
    g_.device->setDrawing(false);
    ready_ = CreateDeviceObjects(g_, resources::Catalogue::embedded());
}

}  // namespace vemol::replay::detail
