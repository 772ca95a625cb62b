// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <memory>

#include "game/state.h"

namespace vemol {

// The back buffer every frame is drawn into, and the size of the picture the window shows.
constexpr int kBackBufferWidth = 632;
constexpr int kBackBufferHeight = 453;

using DeviceFactory = std::function<std::unique_ptr<gfx::Device>()>;

// Makes g.device; on failure shows the error message and returns false.
bool InitDirect3D(GameState& g, const DeviceFactory& create);

}  // namespace vemol
