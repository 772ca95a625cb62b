// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dice pictures: which cell of the SAI texture each face uses, for the flat dice
// (falling dice and shots) and for the player's cube.
#include "game/state.h"

namespace vemol {

// Texture coordinates of the four corners of a flat die, by face index (pips - 1).
// The SAI picture is a 4 x 4 grid of 0.25 cells: faces 1 to 4 in the top row,
// 5 and 6 in the second.
extern const float kDiceTexCoords[6][4][2];

// The player's cube at a new game: face number (pips) of each vertex group, and the
// texture coordinates of the 24 vertices.
extern const int kPlayerDieResetFaces[6];
extern const float kPlayerDieTexCoords[24][2];

// Rewrites the texture coordinates of a flat die's four corners for `face`.
void WriteDiceTexCoords(gfx::Mesh& mesh, int face);

}  // namespace vemol
