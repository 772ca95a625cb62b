// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main loop's turn rule over the window system's events (LoopEvents). The loop alone
// owns time: a frame never waits, it tells the loop how long nothing is due instead.
#include <functional>

#include "game/services.h"

namespace vemol {

// Runs turns until the quit request is taken or a frame returns a negative number. A
// frame returns the seconds until it has more to do (0: run the next frame at once); the
// loop waits that long for events, answering the desktop meanwhile, then runs it again.
void RunMainLoop(LoopEvents& events, const std::function<float()>& runFrame);

}  // namespace vemol
