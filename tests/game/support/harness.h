// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The headless game harness: the real game state and software device, a fake clock,
// scripted keys and recorders standing in for sound and the application shell.
#include <cstdint>
#include <string>
#include <vector>

#include "game/device_objects.h"
#include "game/operations.h"
#include "game/passes.h"
#include "game/state.h"

namespace vemol::test {

struct FakeClock : Clock {
    float t = 0.0f;
    float now() override { return t; }
    std::int64_t calendarSeconds() override { return calendar; }
    std::int64_t calendar = 1000000;  // fixed, so a started game replays the same dice
};

// Keys held and released by the test. A press latches "pressed since the last query"
// until the key is next queried, as the platform's key table does.
struct ScriptedKeys : Keyboard {
    void press(Key key);
    void release(Key key);
    void releaseAll();
    // Down and up again between two queries: only the latch tells.
    void tap(Key key);
    KeyState query(Key key) override;
    int queries(Key key) const { return queryCount[static_cast<int>(key)]; }

    bool down[kKeyCount] = {};
    bool latch[kKeyCount] = {};
    int queryCount[kKeyCount] = {};
};

struct SoundCall {
    enum Kind { Play, StartMusic, Stop } kind;
    Segment segment;
    std::uint32_t flags;
};

struct SoundRecorder : SoundPlayer {
    void PlaySoundSegment(Segment segment, std::uint32_t flags) override {
        calls.push_back({SoundCall::Play, segment, flags});
    }
    void StartMusic() override { calls.push_back({SoundCall::StartMusic, Segment::Music, 0}); }
    void StopSoundSegment(Segment segment) override { calls.push_back({SoundCall::Stop, segment, 0}); }
    int count(Segment segment, SoundCall::Kind kind = SoundCall::Play) const;

    std::vector<SoundCall> calls;
};

struct ShellRecorder : Shell {
    void SetRankingCommandsEnabled(bool enabled) override {
        rankingEnabled = enabled;
        enableCalls++;
    }
    void ShutdownAudioAndQuit() override { quits++; }
    void ShowErrorMessage(const char* text, const char* caption) override {
        messages.push_back(std::string(caption) + ": " + text);
    }

    bool rankingEnabled = true;
    int enableCalls = 0;
    int quits = 0;
    std::vector<std::string> messages;
};

struct Harness {
    explicit Harness(gfx::Format format = gfx::Format::X8R8G8B8);
    Harness(gfx::Format format, const resources::Catalogue& catalogue);

    // Advances the clock by dt, then runs one frame as the main loop would, a pause in it
    // waited out by advancing the clock.
    void frame(float dt = 1.0f / 60.0f);
    void frames(int n, float dt = 1.0f / 60.0f);
    // Enter on Start from the title, then the 50 transition frames, on a clock that stands
    // still as they run back to back.
    void startGame();

    FakeClock clock;
    ScriptedKeys keys;
    SoundRecorder sound;
    ShellRecorder shell;
    int sendScoreRequests = 0;  // frames whose outcome opened the Send Score dialog
    GameState g;
    bool deviceObjectsMade = false;
};

// Compares the image with tests/golden/<name>.ppm, exactly. With VEMOL_UPDATE_GOLDEN=1 in
// the environment the golden file is written instead (regenerate on purpose only, then
// look at the pictures before committing them).
void ExpectMatchesGolden(const gfx::Surface& image, const std::string& name);
void WritePpm(const gfx::Surface& image, const std::string& path);

}  // namespace vemol::test
