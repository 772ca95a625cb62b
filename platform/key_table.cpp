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
    KeyState state{down_[i] != 0, latch_[i]};
    latch_[i] = false;
    return state;
}

bool KeyTable::onKeyEvent(guint keyval, bool pressed) {
    std::optional<Key> key = GameKey(keyval);
    if (!key) return false;
    onGameKey(*key, pressed, Source::keyboard);
    return true;
}

// Deliberate difference: keys-per-source.
// The keyboard and a pad hold a key each on its own, so letting an
// arrow go on one does not stop a roll the other still holds, and a pad button held
// through a dialog still counts after it.
void KeyTable::onGameKey(Key key, bool pressed, Source source) {
    const int i = static_cast<int>(key);
    const auto bit = static_cast<unsigned char>(source);
    down_[i] = static_cast<unsigned char>(pressed ? down_[i] | bit : down_[i] & ~bit);
    if (pressed) latch_[i] = true;
}

void KeyTable::releaseAll() {
    for (unsigned char& d : down_) d &= static_cast<unsigned char>(~static_cast<unsigned char>(Source::keyboard));
}

void KeyTable::clear() {
    releaseAll();
    for (bool& l : latch_) l = false;
}

}  // namespace vemol::platform
