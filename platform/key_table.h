// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Deliberate difference: keys-need-focus.
// The key-state table the game polls: a key is down while it is held and the game window
// has the focus; losing the focus releases every key. Each key also latches "pressed since
// the previous query". Game pad buttons go into the same table. The table follows the
// keys at every moment, also during the waits in which the game reads no input (the
// opening, the game-over pause): only the game's reading pauses, so a key let go
// meanwhile is up when the game looks again.
#include <gdk/gdk.h>

#include "game/services.h"

namespace vemol::platform {

class KeyTable : public Keyboard {
public:
    KeyState query(Key key) override;

    // Fed by the window's key events; returns true when the key is one of the game's.
    bool onKeyEvent(guint keyval, bool pressed);
    // A game key pressed or released by any source (a key, a game pad button).
    void onGameKey(Key key, bool pressed);
    // The window lost the focus: every key is up, latches stay.
    void releaseAll();
    // Deliberate difference: keys-cleared-after-dialogs.
    // Forgets everything, latches included (after a modal dialog, so the key that closed
    // it does not act again in the game).
    void clear();

private:
    bool down_[kKeyCount] = {};
    bool latch_[kKeyCount] = {};
};

}  // namespace vemol::platform
