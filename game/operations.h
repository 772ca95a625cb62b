#pragma once
// The game's operations, each working on the one game state record.
#include "game/state.h"

namespace vemol {

// Game flow.
void RunTitleFrame(GameState& g);
void RunPlayFrame(GameState& g);
void StartNewGame(GameState& g);

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

}  // namespace vemol
