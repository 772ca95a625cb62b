// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The key table the game polls, fed as the window feeds it.
#include <gtest/gtest.h>

#include "platform/key_table.h"

namespace vemol::platform {
namespace {

TEST(KeyTable, ATapBetweenTwoQueriesIsLatchedUntilTheNextQueryOnly) {
    KeyTable keys;
    EXPECT_TRUE(keys.onKeyEvent(GDK_KEY_space, true));
    EXPECT_TRUE(keys.onKeyEvent(GDK_KEY_space, false));
    EXPECT_FALSE(keys.onKeyEvent(GDK_KEY_F10, true)) << "not a game key: left to the window";
    KeyState first = keys.query(Key::Space);
    EXPECT_FALSE(first.down);
    EXPECT_TRUE(first.pressedSinceLastQuery);
    EXPECT_FALSE(keys.query(Key::Space).pressedSinceLastQuery);
}

// The game reads nothing during the game-over pause, but the table keeps following the
// keys: Down let go in the pause is up afterwards, a tap in it is still latched.
TEST(KeyTable, KeysChangeWhileTheGameIsNotReading) {
    KeyTable keys;
    keys.onKeyEvent(GDK_KEY_Down, true);
    ASSERT_TRUE(keys.query(Key::Down).down);
    keys.onKeyEvent(GDK_KEY_Down, false);
    keys.onKeyEvent(GDK_KEY_space, true);
    keys.onKeyEvent(GDK_KEY_space, false);
    EXPECT_FALSE(keys.query(Key::Down).down);
    EXPECT_TRUE(keys.query(Key::Space).pressedSinceLastQuery);
}

TEST(KeyTable, LosingTheFocusReleasesEveryKeyAndClearForgetsTheLatchesToo) {
    KeyTable keys;
    keys.onKeyEvent(GDK_KEY_Left, true);
    keys.onKeyEvent(GDK_KEY_Return, true);
    keys.releaseAll();
    EXPECT_FALSE(keys.query(Key::Left).down);
    KeyState enter = keys.query(Key::Return);
    EXPECT_FALSE(enter.down);
    EXPECT_TRUE(enter.pressedSinceLastQuery) << "a press before the focus went still counts";

    keys.onKeyEvent(GDK_KEY_Return, true);
    keys.clear();
    enter = keys.query(Key::Return);
    EXPECT_FALSE(enter.down);
    EXPECT_FALSE(enter.pressedSinceLastQuery) << "the key that closed a dialog must not act";
}

// The keyboard and a pad hold a key each on its own: letting go of Left on one leaves the
// roll the other holds, and a pad button held through a dialog still holds after it.
TEST(KeyTable, TheKeyboardAndAPadHoldAKeyEachOnItsOwn) {
    KeyTable keys;
    keys.onGameKey(Key::Left, true, KeyTable::Source::pad);
    keys.onKeyEvent(GDK_KEY_Left, true);
    keys.onKeyEvent(GDK_KEY_Left, false);
    EXPECT_TRUE(keys.query(Key::Left).down) << "the pad still holds Left";
    keys.onKeyEvent(GDK_KEY_Down, true);
    keys.onGameKey(Key::Down, true, KeyTable::Source::pad);
    keys.clear();  // a dialog came and went
    EXPECT_TRUE(keys.query(Key::Down).down) << "the pad held Down through the dialog";
    keys.onGameKey(Key::Down, false, KeyTable::Source::pad);
    EXPECT_FALSE(keys.query(Key::Down).down) << "the keyboard's Down was forgotten by the dialog";
    keys.onGameKey(Key::Left, false, KeyTable::Source::pad);
    EXPECT_FALSE(keys.query(Key::Left).down);
}

}  // namespace
}  // namespace vemol::platform
