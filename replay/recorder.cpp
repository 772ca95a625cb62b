// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Recording: the real clock and keyboard, looked through. While a game runs every value
// they give the game is written down in the order it was read.
#include "replay/events.h"
#include "replay/replay.h"

namespace vemol::replay {

struct Recorder::State {
    struct RecordingClock : Clock {
        explicit RecordingClock(State& s) : s(s) {}
        float now() override {
            const float t = s.clock.now();
            if (s.recording) s.events.clock(t);
            return t;
        }
        std::int64_t calendarSeconds() override { return s.clock.calendarSeconds(); }
        State& s;
    };
    struct RecordingKeyboard : Keyboard {
        explicit RecordingKeyboard(State& s) : s(s) {}
        KeyState query(Key key) override {
            const KeyState state = s.keys.query(key);
            if (s.recording) s.events.key(key, state);
            return state;
        }
        State& s;
    };

    State(Clock& clock, Keyboard& keys) : clock(clock), keys(keys) {}

    Clock& clock;
    Keyboard& keys;
    RecordingClock recordingClock{*this};
    RecordingKeyboard recordingKeys{*this};
    bool recording = false;
    Replay game;  // the game under way; its events are in `events` until it ends
    detail::EventWriter events;
    std::optional<Replay> finished;  // compressed when taken
};

Recorder::Recorder(Clock& clock, Keyboard& keys) : state_(std::make_unique<State>(clock, keys)) {}
Recorder::~Recorder() = default;

Clock& Recorder::clock() { return state_->recordingClock; }
Keyboard& Recorder::keyboard() { return state_->recordingKeys; }

void Recorder::gameStarting(std::uint32_t seed, std::int32_t bestScore) {
    State& s = *state_;
    s.recording = true;
    s.game = Replay{};
    s.game.seed = seed;
    s.game.bestScoreShown = bestScore;
    s.events = detail::EventWriter{};
}

void Recorder::frameStarting() {
    State& s = *state_;
    if (!s.recording) return;
    // A game longer than any file may hold is not kept: it would only be refused later.
    if (s.game.frames == kMaxReplayFrames || s.events.size() > detail::kMaxEventBytes) {
        s.recording = false;
        s.events = detail::EventWriter{};
        return;
    }
    s.game.frames++;
    s.events.frame();
}

void Recorder::gameFinished(std::int32_t score) {
    State& s = *state_;
    if (!s.recording) return;
    s.recording = false;
    s.game.finalScore = score;
    s.game.events = s.events.finish();
    s.events = detail::EventWriter{};
    s.finished = std::move(s.game);
}

std::optional<Bytes> Recorder::takeFinishedGame() {
    if (!state_->finished) return std::nullopt;
    const Bytes file = WriteReplay(*state_->finished);
    state_->finished.reset();
    return file;
}

}  // namespace vemol::replay
