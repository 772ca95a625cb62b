// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/key_table.h"

#include <optional>

namespace vemol::platform {
namespace {

std::optional<Key> GameKey(guint keyval) {
    switch (keyval) {
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter:
        case GDK_KEY_ISO_Enter: return Key::Return;
        case GDK_KEY_Up:
        case GDK_KEY_KP_Up: return Key::Up;
        case GDK_KEY_Down:
        case GDK_KEY_KP_Down: return Key::Down;
        case GDK_KEY_Left:
        case GDK_KEY_KP_Left: return Key::Left;
        case GDK_KEY_Right:
        case GDK_KEY_KP_Right: return Key::Right;
        case GDK_KEY_space:
        case GDK_KEY_KP_Space: return Key::Space;
        case GDK_KEY_Home:
        case GDK_KEY_KP_Home: return Key::Home;
        default: return std::nullopt;
    }
}

}  // namespace

KeyState KeyTable::query(Key key) {
    const int i = static_cast<int>(key);
    KeyState state{down_[i], latch_[i]};
    latch_[i] = false;
    return state;
}

bool KeyTable::onKeyEvent(guint keyval, bool pressed) {
    std::optional<Key> key = GameKey(keyval);
    if (!key) return false;
    onGameKey(*key, pressed);
    return true;
}

void KeyTable::onGameKey(Key key, bool pressed) {
    const int i = static_cast<int>(key);
    down_[i] = pressed;
    if (pressed) latch_[i] = true;
}

void KeyTable::releaseAll() {
    for (bool& d : down_) d = false;
}

void KeyTable::clear() {
    releaseAll();
    for (bool& l : latch_) l = false;
}

}  // namespace vemol::platform
