// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A scripted player for whole games: it decides its keys frame by frame from what is on
// the board, so a fixed seed always plays the same game.
#include "support/harness.h"

namespace vemol::test {

// Sets the keys for the next frame: goes after the lowest die in the first `columns`
// columns (by default the three on the right are left to land, so the gauges fill),
// shooting once under it with its face on top, otherwise taking the first step of the
// shortest roll there. False when its own picture of the player's die no longer matches
// the game's.
bool ChooseKeys(Harness& h, int columns = 9);

}  // namespace vemol::test
