// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Starting a program that outlives the game, such as a browser window.
#include <string>
#include <vector>

namespace vemol::net {

// Starts argv[0] (a path) with the arguments argv[1..] in a process of its own: detached
// from the game (its own session, re-parented to init), so it is never left a zombie and
// lives on after the game ends. Returns once the program has been executed, without
// waiting for it; false (with errno set) when it could not be started.
bool StartDetached(const std::vector<std::string>& argv);

}  // namespace vemol::net
