// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The frame bracket and the one way every pass places and draws a mesh.
#include "game/passes.h"

namespace vemol {

void ClearFrame(GameState& g) { g.device->clear(kClearColour, 1.0f); }

void PresentFrame(GameState& g) {
    g.device->endScene();
    g.device->present();
}

void DrawWithWorld(GameState& g, const gfx::Matrix& parent, const gfx::Matrix& world, const gfx::Mesh& mesh) {
    g.device->setWorld(gfx::MatrixMultiply(parent, world));
    g.device->drawMesh(mesh);
}

}  // namespace vemol
