// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A replay shown in the window, on the headless game: its frames come at the recorded
// pace, and afterwards the game has its own clock, keys, recorder and best scores back,
// whether the player stopped it or it ran to its end.
#include "app/replay_viewing.h"

#include <gtest/gtest.h>

#include "game/operations.h"
#include "support/scripted_player.h"

namespace vemol::app {
namespace {

// The scripted player's game, 300 frames of play a 60th of a second apart, then Home.
replay::Bytes RecordedGame() {
    test::Harness h;
    replay::Recorder recorder(h.clock, h.keys);
    h.g.clock = &recorder.clock();
    h.g.keys = &recorder.keyboard();
    h.g.recorder = &recorder;
    h.keys.press(Key::Return);
    h.frame();
    h.keys.release(Key::Return);
    for (int frame = 0; frame < 350 && h.g.endCountdown == -1; ++frame) {
        if (frame >= 50) test::ChooseKeys(h);  // after the transition
        h.frame();
    }
    h.keys.releaseAll();
    h.keys.press(Key::Home);
    while (h.g.playing) h.frame();
    return recorder.takeFinishedGame().value_or(replay::Bytes{});
}

TEST(ReplayViewing, PlaysAtTheRecordedPaceAndGivesTheGameBackStoppedOrEnded) {
    std::string problem;
    const auto replay = replay::ReadReplay(RecordedGame(), &problem);
    ASSERT_TRUE(replay) << problem;
    test::Harness h;
    replay::Recorder ownRecorder(h.clock, h.keys);
    h.g.recorder = &ownRecorder;
    h.g.bestScore = 9000;
    h.g.sessionBestScore = 120;
    test::FakeClock realClock;
    const auto expectTheGameItsOwn = [&] {
        EXPECT_TRUE(h.g.clock == &h.clock && h.g.keys == &h.keys && h.g.recorder == &ownRecorder);
        EXPECT_EQ(h.g.bestScore, 9000);
        EXPECT_EQ(h.g.sessionBestScore, 120);
        EXPECT_TRUE(h.g.playing == 0 && !WaitUnderWay(h.g));
    };

    ReplayViewing stopped(*replay, realClock);
    stopped.begin(h.g);
    for (int frame = 0; frame < 100; ++frame) RunFrame(h.g);
    ASSERT_NE(h.g.playing, 0);
    stopped.end(h.g);
    expectTheGameItsOwn();
    EXPECT_EQ(h.sound.calls.back().kind, test::SoundCall::Stop);  // the tune stops with the game

    ReplayViewing viewing(*replay, realClock);
    viewing.begin(h.g);
    EXPECT_EQ(h.g.bestScore, replay->bestScoreShown);
    int frames = 0;
    float waited = 0.0f;
    while (!viewing.finished() && frames < 5000) {
        if (const float wait = viewing.secondsUntilNextFrame(); wait > 0.0f) {  // the loop waits
            realClock.t += wait;
            waited += wait;
            continue;
        }
        RunFrame(h.g);
        ++frames;
    }
    EXPECT_EQ(viewing.problem(), "");
    EXPECT_EQ(frames, static_cast<int>(replay->frames));
    EXPECT_EQ(h.g.score, replay->finalScore);
    // Recorded a 60th of a second apart, the frames are shown as far apart: the 300 of
    // play at least (the break-up reads no clock; the window paces it at 60 a second).
    EXPECT_GE(waited, 299.0f / 60.0f);
    EXPECT_LE(waited, static_cast<float>(frames) / 60.0f);
    viewing.end(h.g);
    expectTheGameItsOwn();
}

}  // namespace
}  // namespace vemol::app
