// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Start-up creation of every device object the frames draw with.
#include "game/state.h"
#include "resources/catalogue.h"

namespace vemol {

// Returns false (after its message) when start-up must end.
bool CreateDeviceObjects(GameState& g, const resources::Catalogue& catalogue);
// Fills a two-triangle square from its four corners.
void CreateQuadMesh(gfx::Mesh& mesh, const gfx::QuadVertex corners[4]);

}  // namespace vemol
