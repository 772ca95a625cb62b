// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Game pads through SDL's game controller API, played like the keyboard: the D-pad and
// the left stick are the arrow keys, the south face button (A) the space bar, Start the
// Enter key and Back (Select) the HOME key. Pads may be plugged in and out while the game
// runs. Their buttons go into the key table by the keyboard's rules: they count only while
// the game window has the focus, and a press is latched as a key press is.
#include <SDL2/SDL.h>

#include <array>
#include <functional>
#include <vector>

#include "game/services.h"
#include "platform/key_table.h"

namespace vemol::platform {

class Gamepads {
public:
    // `windowHasFocus` says whether input counts at this moment. Polls SDL from GLib's
    // main context, also while dialogs or waits run: every few milliseconds while a pad
    // is plugged in, every tenth of a second while none is.
    Gamepads(KeyTable& keys, std::function<bool()> windowHasFocus);
    ~Gamepads();
    Gamepads(const Gamepads&) = delete;
    Gamepads& operator=(const Gamepads&) = delete;

    // Takes every pad event SDL has gathered into the key table.
    void poll();
    int padCount() const { return int(pads_.size()); }

private:
    using KeySet = std::array<bool, kKeyCount>;
    struct Pad {
        SDL_GameController* controller = nullptr;
        SDL_JoystickID id = -1;
        KeySet buttons{};  // game keys held by buttons
        int stickX = 0;    // left stick: -1 left, 0 centre, 1 right
        int stickY = 0;    // -1 up, 1 down
    };

    static int onPollTimer(void* self);
    void startTimer(unsigned intervalMs);
    void handle(const SDL_Event& event);
    void open(int deviceIndex);
    void close(SDL_JoystickID id);
    Pad* find(SDL_JoystickID id);
    void passOnChanges();

    KeyTable& keys_;
    std::function<bool()> windowHasFocus_;
    bool ready_ = false;
    unsigned timer_ = 0;
    unsigned pollMs_ = 0;
    std::vector<Pad> pads_;
    KeySet held_{};  // what all pads together hold, as the key table last heard it
};

}  // namespace vemol::platform
