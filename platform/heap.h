// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The C library's heap, between games.

namespace vemol::platform {

// Hands freed heap pages back to the system. Every game's end frees megabytes (the
// break-up's capture) that the heap would otherwise keep mapped, so the game's private
// memory crept up from game to game.
void ReturnFreedMemory();

}  // namespace vemol::platform
