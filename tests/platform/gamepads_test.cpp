// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Game pads into the key table, driven by SDL's virtual joystick: no pad hardware and no
// display needed. Which button plays which key is played through in tests/e2e/gamepad.sh.
#include <gtest/gtest.h>

#include <optional>

#include "platform/gamepads.h"

namespace vemol::platform {
namespace {

class GamepadsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
        pads.emplace(keys, [this] { return focused; });
        plug();
    }
    void TearDown() override {
        unplug();
        pads.reset();
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }

    void plug() {
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                    SDL_CONTROLLER_BUTTON_MAX, 0);
        ASSERT_GE(index, 0) << SDL_GetError();
        pad = SDL_JoystickOpen(index);
        ASSERT_NE(pad, nullptr) << SDL_GetError();
        pads->poll();
    }
    void unplug() {
        if (!pad) return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(pad);
        SDL_JoystickClose(pad);
        pad = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); i++)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
        pads->poll();
    }
    void button(SDL_GameControllerButton b, bool down) {
        SDL_JoystickSetVirtualButton(pad, b, down ? 1 : 0);
        pads->poll();
    }
    void axis(SDL_GameControllerAxis a, int value) {
        SDL_JoystickSetVirtualAxis(pad, a, Sint16(value));
        pads->poll();
    }

    KeyTable keys;
    bool focused = true;
    std::optional<Gamepads> pads;
    SDL_Joystick* pad = nullptr;
};

TEST_F(GamepadsTest, QuickTapIsLatchedLikeAKeyPress) {
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
    SDL_JoystickUpdate();  // the press reaches SDL's queue before the release
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 0);
    pads->poll();
    const KeyState space = keys.query(Key::Space);
    EXPECT_FALSE(space.down);
    EXPECT_TRUE(space.pressedSinceLastQuery);
}

TEST_F(GamepadsTest, StickPastHalfWayHoldsAnArrowWithTheDpad) {
    axis(SDL_CONTROLLER_AXIS_LEFTX, -10000);
    EXPECT_FALSE(keys.isDown(Key::Left));
    axis(SDL_CONTROLLER_AXIS_LEFTX, -20000);
    EXPECT_TRUE(keys.isDown(Key::Left));
    axis(SDL_CONTROLLER_AXIS_LEFTY, -30000);  // up and to the left at once
    EXPECT_TRUE(keys.isDown(Key::Up));
    axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
    button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
    EXPECT_TRUE(keys.isDown(Key::Left)) << "the D-pad still holds it";
    button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    EXPECT_FALSE(keys.isDown(Key::Left));
}

TEST_F(GamepadsTest, PressWithoutFocusIsNotRecorded) {
    focused = false;
    button(SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_FALSE(keys.query(Key::Return).pressedSinceLastQuery);
    button(SDL_CONTROLLER_BUTTON_START, false);
    focused = true;
    button(SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_TRUE(keys.query(Key::Return).pressedSinceLastQuery);
}

TEST_F(GamepadsTest, UnpluggedPadReleasesWhatItHeldAndANewOnePlays) {
    button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    unplug();
    EXPECT_EQ(pads->padCount(), 0);
    EXPECT_FALSE(keys.isDown(Key::Right));
    plug();
    EXPECT_EQ(pads->padCount(), 1);
    button(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_TRUE(keys.isDown(Key::Space));
}

}  // namespace
}  // namespace vemol::platform
