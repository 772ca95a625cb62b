// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gamepads.h"

#include <glib.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace vemol::platform {
namespace {

constexpr guint kPollMs = 8;  // about twice a frame
// With no pad plugged in only a pad's arrival is awaited: ten looks a second find it at
// once to a player, where waking the game 125 times a second cost a laptop's battery.
constexpr guint kIdlePollMs = 100;
// The stick counts as pushed past half-way and as back once under 3/8: the gap keeps a
// stick resting near the threshold from chattering presses.
constexpr int kStickOn = 16384;
constexpr int kStickOff = 12288;

std::optional<Key> ButtonKey(Uint8 button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_UP: return Key::Up;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return Key::Down;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return Key::Left;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return Key::Right;
        case SDL_CONTROLLER_BUTTON_A: return Key::Space;
        case SDL_CONTROLLER_BUTTON_START: return Key::Return;
        case SDL_CONTROLLER_BUTTON_BACK: return Key::Home;
        default: return std::nullopt;
    }
}

// -1, 0 or 1 for an axis value, keeping the previous direction inside the gap.
int StickDirection(int previous, int value) {
    const int magnitude = std::abs(value);
    const int sign = value < 0 ? -1 : 1;
    if (magnitude >= kStickOn) return sign;
    if (magnitude > kStickOff && previous == sign) return previous;
    return 0;
}

}  // namespace

gboolean Gamepads::onPollTimer(gpointer self) {
    auto* pads = static_cast<Gamepads*>(self);
    pads->poll();
    const guint interval = pads->pads_.empty() ? kIdlePollMs : kPollMs;
    if (interval == pads->pollMs_) return G_SOURCE_CONTINUE;
    pads->startTimer(interval);
    return G_SOURCE_REMOVE;
}

void Gamepads::startTimer(unsigned intervalMs) {
    pollMs_ = intervalMs;
    timer_ = g_timeout_add(intervalMs, &Gamepads::onPollTimer, this);
}

Gamepads::Gamepads(KeyTable& keys, std::function<bool()> windowHasFocus)
    : keys_(keys), windowHasFocus_(std::move(windowHasFocus)) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // Ctrl+C and SIGTERM end the game as before
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "vemol: game pads cannot be used: %s\n", SDL_GetError());
        return;
    }
    ready_ = true;
    startTimer(kIdlePollMs);
}

Gamepads::~Gamepads() {
    if (timer_) g_source_remove(timer_);
    if (!ready_) return;
    for (Pad& pad : pads_) SDL_GameControllerClose(pad.controller);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

// Pads already plugged in when the game starts arrive as "added" events too.
void Gamepads::poll() {
    if (!ready_) return;
    SDL_PumpEvents();
    SDL_Event event;
    // Every event is taken off SDL's queue, so the ones we do not use cannot fill it.
    while (SDL_PollEvent(&event)) handle(event);
}

void Gamepads::handle(const SDL_Event& event) {
    switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED: open(event.cdevice.which); break;
        case SDL_CONTROLLERDEVICEREMOVED: close(event.cdevice.which); break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            Pad* pad = find(event.cbutton.which);
            std::optional<Key> key = ButtonKey(event.cbutton.button);
            if (!pad || !key) return;
            pad->buttons[static_cast<int>(*key)] = event.type == SDL_CONTROLLERBUTTONDOWN;
            break;
        }
        case SDL_CONTROLLERAXISMOTION: {
            Pad* pad = find(event.caxis.which);
            if (!pad) return;
            if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
                pad->stickX = StickDirection(pad->stickX, event.caxis.value);
            if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
                pad->stickY = StickDirection(pad->stickY, event.caxis.value);
            break;
        }
        default: return;
    }
    // After every single event, so a press and its release in one poll still latch.
    passOnChanges();
}

void Gamepads::open(int deviceIndex) {
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    if (find(id)) {
        SDL_GameControllerClose(controller);  // already ours: SDL counts the second opening
        return;
    }
    pads_.push_back({controller, id});
}

void Gamepads::close(SDL_JoystickID id) {
    for (auto it = pads_.begin(); it != pads_.end(); ++it) {
        if (it->id != id) continue;
        SDL_GameControllerClose(it->controller);
        pads_.erase(it);
        return;
    }
}

Gamepads::Pad* Gamepads::find(SDL_JoystickID id) {
    for (Pad& pad : pads_)
        if (pad.id == id) return &pad;
    return nullptr;
}

// A game key is held while any button or stick of any pad holds it; the table hears only
// the changes. A press while the window lacks the focus is not passed on, as a key press
// would not reach it; a release always is.
void Gamepads::passOnChanges() {
    KeySet now{};
    for (const Pad& pad : pads_) {
        for (int k = 0; k < kKeyCount; k++) now[k] = now[k] || pad.buttons[k];
        now[static_cast<int>(Key::Left)] = now[static_cast<int>(Key::Left)] || pad.stickX < 0;
        now[static_cast<int>(Key::Right)] = now[static_cast<int>(Key::Right)] || pad.stickX > 0;
        now[static_cast<int>(Key::Up)] = now[static_cast<int>(Key::Up)] || pad.stickY < 0;
        now[static_cast<int>(Key::Down)] = now[static_cast<int>(Key::Down)] || pad.stickY > 0;
    }
    for (int k = 0; k < kKeyCount; k++) {
        if (now[k] == held_[k]) continue;
        held_[k] = now[k];
        if (!now[k] || windowHasFocus_()) keys_.onGameKey(static_cast<Key>(k), now[k], KeyTable::Source::pad);
    }
}

}  // namespace vemol::platform
