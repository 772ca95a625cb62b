// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Creating the software device that every frame draws through.
#include <new>

#include "game/init_device.h"

namespace vemol {

bool InitDirect3D(GameState& g, const DeviceFactory& create) {
    try {
        g.device = create();
    } catch (const std::bad_alloc&) {
        g.device.reset();
    }
    if (!g.device) {
        g.shell->ShowErrorMessage("Direct3D の初期化に失敗しました。", "");
        return false;
    }
    return true;
}

}  // namespace vemol
