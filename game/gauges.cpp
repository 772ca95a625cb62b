// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Column gauges: a die that gets past the player stacks its pips onto its column's
// ten-cell gauge, and a full gauge loses the game.
//
// Cells fill from index 9 toward index 0, so cell 0 is the last one of a column.
#include "game/operations.h"

namespace vemol {

namespace {

constexpr int kFramesPerPip = 10;  // claimed cells appear one after another, 10 frames apart

}  // namespace

void ClearColumnGauges(GameState& g) {
    for (auto& column : g.columnGauge)
        for (std::int32_t& cell : column) cell = kEmptyGaugeCell;
}

void AddToColumnGauge(GameState& g, int column, int face) {
    if (column < 0 || column >= kColumns) return;
    std::int32_t* cells = g.columnGauge[column];

    // The empty cell with the highest index; a full column takes nothing more.
    int top = kGaugeCells - 1;
    while (top >= 0 && cells[top] != kEmptyGaugeCell) --top;
    if (top < 0) return;

    // Claim one cell per pip downward from it; pips beyond cell 0 are lost.
    for (int j = 0; j <= face && top - j >= 0; ++j) cells[top - j] = kFramesPerPip * (j + 1);
}

bool CountDownGaugeCell(GameState& g, int column, int cell) {
    std::int32_t& value = g.columnGauge[column][cell];
    if (value > 0) {
        // Reaching 0 here shows the cell only from the next visit on.
        --value;
        return false;
    }
    return value == 0;
}

void TestGaugeEnd(GameState& g, int cell) {
    if (cell != 0 || g.endCountdown != -1) return;
    // The column is full while the game runs: the game is lost. The countdown starts
    // in this very frame, and the first game-over frame holds for a moment.
    g.endPause = 1;
    g.endCountdown = 10;
    BeginGameEnd(g);
}

}  // namespace vemol
