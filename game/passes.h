// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's drawing: the frame bracket, the backdrop and effect passes and the HUD, each
// drawing the one game state record through its device.
#include "game/state.h"

namespace vemol {

// The cream the back buffer is cleared to before every frame.
constexpr std::uint32_t kClearColour = 0xFFFBEDB5u;

// Frame bracket: clear before the scene; end the scene and present after it.
void ClearFrame(GameState& g);
void PresentFrame(GameState& g);

// Draws the mesh under parent x world.
void DrawWithWorld(GameState& g, const gfx::Matrix& parent, const gfx::Matrix& world, const gfx::Mesh& mesh);

// The backdrop: the board as it lies during play, and the title picture, tipping away
// step by step during the new-game transition (step 0: at rest).
void DrawBackdropInPlay(GameState& g, const gfx::Matrix& parent);
void DrawBackdropTitle(GameState& g, const gfx::Matrix& parent, int step);

// The blended effect passes; each moves its live slots one frame on, then draws them.
void DrawBlasts(GameState& g, const gfx::Matrix& parent);
void DrawScorePopups(GameState& g, const gfx::Matrix& parent);

// The HUD, copied from the sprite sheet into the back buffer: scores and gauges in play,
// scores and the menu on the title.
void DrawHud(GameState& g);
void BlitSprite(GameState& g, int width, int height, int sx, int sy, int dx, int dy);

}  // namespace vemol
