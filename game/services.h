// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the game needs from outside, as small interfaces: the platform supplies real
// ones, tests supply a fake clock, scripted keys and recorders.
#include <cstdint>
#include <string>

namespace vemol {

// Seconds since the program started, single precision.
class Clock {
public:
    virtual ~Clock() = default;
    virtual float now() = 0;
    // The calendar time in whole seconds, which seeds the dice at every title choice.
    virtual std::int64_t calendarSeconds();
};

enum class Key { Return, Up, Down, Left, Right, Space, Home };
constexpr int kKeyCount = 7;

// What one query of a key tells: down at this instant (with the game window focused),
// and whether it went down since the previous query of the same key. Every query
// clears the latch.
struct KeyState {
    bool down = false;
    bool pressedSinceLastQuery = false;
};

class Keyboard {
public:
    virtual ~Keyboard() = default;
    virtual KeyState query(Key key) = 0;
    bool isDown(Key key) { return query(key).down; }
};

enum class Segment { Start, Move, Hit, Select, Music };
constexpr std::uint32_t DMUS_SEGF_SECONDARY = 0x80;
constexpr std::uint32_t DMUS_SEGF_BEAT = 0x1000;

// The game's sound operations.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void PlaySoundSegment(Segment segment, std::uint32_t flags) = 0;
    // Loops the music over its whole length, forever, from its beginning.
    virtual void StartMusic() = 0;
    virtual void StopSoundSegment(Segment segment) = 0;
};

// What the game asks of the application shell.
class Shell {
public:
    virtual ~Shell() = default;
    // Menu items Send Score, Ranking Page and KRM HOME.
    virtual void SetRankingCommandsEnabled(bool enabled) = 0;
    // The audio shutdown, then the quit request (exit code 0).
    virtual void ShutdownAudioAndQuit() = 0;
    // A modal error message box (start-up failures).
    virtual void ShowErrorMessage(const char* text, const char* caption) = 0;
};

// The main loop's events from the window system. Each turn of the loop handles one
// pending event or, when none is pending, runs exactly one frame; the quit request is
// taken after every other pending event, in a turn of its own that runs no frame.
class LoopEvents {
public:
    virtual ~LoopEvents() = default;
    // Handles one pending event, the quit request last; false when nothing was pending.
    virtual bool handleOneEvent() = 0;
    virtual bool quitTaken() const = 0;
    // True while frames must not run (a menu is pulled down).
    virtual bool framesHeld() const = 0;
    // Blocks until an event arrives or, when `seconds` is not negative, that long has passed.
    virtual void waitForEvent(float seconds) = 0;
};

// Follows each game from its start to its end, so that it can be kept as a replay (the
// application's recorder) or fed from one (a playback, the server's check). The game only
// tells it what happens; it reads nothing back.
class GameRecorder {
public:
    virtual ~GameRecorder() = default;
    // A game starts from the title, its dice seeded by `seed`, with `bestScore` on show.
    // Everything the game reads from here on, the start's own reads first, is the game's.
    virtual void gameStarting(std::uint32_t seed, std::int32_t bestScore) = 0;
    // The main loop runs a frame (title frames too: a recorder not following a game
    // ignores them).
    virtual void frameStarting() = 0;
    // The game's last frame: the tiles have fallen and `score` is final.
    virtual void gameFinished(std::int32_t score) = 0;
};

}  // namespace vemol
