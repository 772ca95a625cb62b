// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's operations, each working on the one game state record.
#include "game/state.h"

namespace vemol {

// Game flow. A frame never waits: what it needs after it has run is in its outcome.
struct FrameOutcome {
    // Seconds until the frame has more to do: the game-over pause is under way, its frame
    // drawn up to the pause; run the frame again then. 0: the next frame is due at once.
    float idleSeconds = 0.0f;
    // The title's Send entry was chosen: the Send Score dialog opens after the frame.
    bool openSendScore = false;
};
// The frame the game is in: a transition frame, a play frame or a title frame.
FrameOutcome RunFrame(GameState& g);
FrameOutcome RunTitleFrame(GameState& g);
FrameOutcome RunPlayFrame(GameState& g);
// Starts a game; the 50 frames of the transition follow, one per frame.
void StartNewGame(GameState& g);
// Starts a game as the title's Start entry does once the dice are seeded by `seed`: how a
// replay begins the game it holds.
void StartSeededGame(GameState& g, std::uint32_t seed);
// True during the transition and the game-over pause, which read no input.
bool WaitUnderWay(const GameState& g);

// World state and pools.
void ResetWorld(GameState& g);
// The backdrop's play placement: unrotated, at (7.0, 0.0, -14.0). The last step of the
// reset, applied again after the transition frames have tipped the picture.
void PlaceBackdropForPlay(GameState& g);
// The first slot in index order whose live is 0, or null when the pool is full.
template <typename Pool>
ObjectRecord* FindFreeSlot(Pool& pool) {
    for (ObjectRecord& slot : pool)
        if (slot.live == 0) return &slot;
    return nullptr;
}

// Falling dice.
void SpawnFallingDie(GameState& g, ObjectRecord& slot);
void UpdateFallingDice(GameState& g, const gfx::Matrix& parent);
void FlyCollectedDie(GameState& g, ObjectRecord& die);

// The player's die.
void UpdatePlayer(GameState& g);
void RollDieX(GameState& g, int direction);  // +1 toward -x, -1 toward +x
void RollDieZ(GameState& g, int direction);  // +1 toward -z, -1 toward +z

// Shots and effects.
void FireShot(GameState& g);
void UpdateShots(GameState& g, const gfx::Matrix& parent);
void TestShotHits(GameState& g, ObjectRecord& shot);
void SpawnBlast(GameState& g, const ObjectRecord& source);
void SpawnScorePopup(GameState& g, const ObjectRecord& source);

// Score and column gauges.
void ClearColumnGauges(GameState& g);  // every cell empty
void AddToColumnGauge(GameState& g, int column, int face);
// The HUD pass visits every gauge cell in two steps and draws a filled cell between them,
// so that a capture taken by the end trigger already shows that cell.
// CountDownGaugeCell: the countdown; true when the cell is filled.
bool CountDownGaugeCell(GameState& g, int column, int cell);
// TestGaugeEnd: the end trigger for a filled cell (fires only for cell 0 while the game runs).
void TestGaugeEnd(GameState& g, int cell);

// Game end.
void BeginGameEnd(GameState& g);
void UpdateGameEnd(GameState& g, const gfx::Matrix& parent);
// Leaves a game at once, without its end (a replay stopped by the player): the title
// shows from the next frame, the music stops, the scores stay as they are.
void LeaveGame(GameState& g);

}  // namespace vemol
