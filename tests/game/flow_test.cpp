// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The game flow: the title menu's timing and sounds, the three entries, the start of a
// new game, and the start-up failures that end the program.
#include <gtest/gtest.h>

#include "game/init_device.h"
#include "support/harness.h"

namespace vemol::test {
namespace {

using Kind = SoundCall::Kind;

TEST(TitleMenu, HoldingUpMovesOnTheFirstFrameThenOnceEveryEightFrames) {
    Harness h;
    h.g.menuSelection = 2;
    h.keys.press(Key::Up);
    std::vector<int> selections;
    for (int i = 0; i < 20; i++) {
        h.frame();
        selections.push_back(h.g.menuSelection);
    }
    // Frame 1 moves to 1, frame 9 moves to 0, frame 17 would move but the top is reached.
    std::vector<int> expected(20, 0);
    for (int i = 0; i < 8; i++) expected[i] = 1;
    EXPECT_EQ(selections, expected);
    EXPECT_EQ(h.sound.count(Segment::Move), 2) << "no cursor sound when the selection cannot move";
    EXPECT_EQ(h.g.menuKeyDelay, 4) << "the delay starts again at the top, 3 frames after frame 17";
}

TEST(TitleMenu, AtAnEndTheDelayStillStartsAndUpWinsOverDown) {
    Harness h;
    h.keys.press(Key::Up);
    h.frame();  // at Start already: no move, no sound, delay 7
    EXPECT_EQ(h.g.menuSelection, 0);
    EXPECT_EQ(h.g.menuKeyDelay, 7);
    h.keys.release(Key::Up);
    h.keys.press(Key::Down);
    h.frames(7);
    EXPECT_EQ(h.g.menuSelection, 0) << "Down is not read during the delay";
    h.frame();
    EXPECT_EQ(h.g.menuSelection, 1);
    h.keys.press(Key::Up);  // both held
    h.frames(8);
    EXPECT_EQ(h.g.menuSelection, 0);
    EXPECT_EQ(h.sound.count(Segment::Move), 2);
    for (const SoundCall& c : h.sound.calls) EXPECT_EQ(c.flags, DMUS_SEGF_SECONDARY);
}

TEST(TitleMenu, EveryTitleFrameEnablesTheRankingItemsAndClearsThePause) {
    Harness h;
    h.shell.rankingEnabled = false;
    h.g.endPause = 1;
    h.frame();
    EXPECT_TRUE(h.shell.rankingEnabled);
    EXPECT_EQ(h.g.endPause, 0);
    EXPECT_EQ(h.g.device->presentCount(), 1u);
}

TEST(TitleMenu, EnterOnSendOpensTheDialogAndDrawsNothingEnterOnExitQuits) {
    Harness h;
    h.g.menuSelection = 1;
    h.keys.press(Key::Return);
    h.frame();
    h.frame();  // Enter still held: the dialog opens again at once
    EXPECT_EQ(h.sendScoreRequests, 2);
    EXPECT_EQ(h.g.device->presentCount(), 0u);
    EXPECT_EQ(h.g.playing, 0);

    h.g.menuSelection = 2;
    h.frame();
    EXPECT_EQ(h.shell.quits, 1);
    EXPECT_EQ(h.g.device->presentCount(), 0u);
}

TEST(TitleMenu, EveryEnterReseedsTheDiceFromTheCalendarTime) {
    Harness h;
    h.clock.calendar = 424242;
    h.g.menuSelection = 1;
    h.keys.press(Key::Return);
    h.frame();
    Random expected;
    expected.srand(424242);
    EXPECT_EQ(h.g.random.rand(), expected.rand());
}

TEST(NewGame, StartRunsFiftyTransitionFramesThenTheMusicAndSwitchesToPlay) {
    Harness h;
    h.startGame();
    EXPECT_EQ(h.g.device->presentCount(), 50u);
    EXPECT_EQ(h.g.playing, 1);
    EXPECT_FALSE(h.shell.rankingEnabled);
    ASSERT_EQ(h.sound.calls.size(), 2u);
    EXPECT_EQ(h.sound.calls[0].kind, Kind::Play);
    EXPECT_EQ(h.sound.calls[0].segment, Segment::Start);
    EXPECT_EQ(h.sound.calls[1].kind, Kind::StartMusic);
    EXPECT_FLOAT_EQ(h.g.backdrop.x, 7.0f);
    EXPECT_FLOAT_EQ(h.g.backdrop.z, -14.0f);
    h.frame();
    EXPECT_EQ(h.g.device->presentCount(), 51u);
    EXPECT_FALSE(h.shell.rankingEnabled) << "the items stay grayed during play";
}

// Notes how many frames had been shown when the tune was started.
struct MusicStartWatch : SoundRecorder {
    explicit MusicStartWatch(GameState& g) : g(g) {}
    void StartMusic() override {
        presentsAtMusicStart = static_cast<int>(g.device->presentCount());
        SoundRecorder::StartMusic();
    }
    GameState& g;
    int presentsAtMusicStart = -1;
};

TEST(NewGame, TheTuneStartsOnlyAfterTheFiftyTransitionFrames) {
    Harness h;
    MusicStartWatch watch(h.g);
    h.g.sound = &watch;
    h.startGame();
    EXPECT_EQ(watch.presentsAtMusicStart, 50);
}

TEST(NewGame, TheTitleComesBackWithTheCursorWhereItWas) {
    Harness h;
    h.startGame();
    h.keys.press(Key::Down);  // rolls the die in play; the title menu is not read
    h.frames(30);
    h.keys.release(Key::Down);
    h.keys.press(Key::Home);
    for (int frames = 0; h.g.playing != 0 && frames < 2000; ++frames) h.frame();
    h.keys.release(Key::Home);
    ASSERT_EQ(h.g.playing, 0);
    h.frame();
    EXPECT_EQ(h.g.menuSelection, 0);
    h.keys.press(Key::Down);
    h.frame();
    EXPECT_EQ(h.g.menuSelection, 1) << "one step down from where it was";
}

TEST(NewGame, TheRankingItemsStayGrayedUntilTheFirstTitleFrameAfterTheGame) {
    Harness h;
    h.startGame();
    h.keys.press(Key::Home);
    int frames = 0;
    while (h.g.playing != 0 && frames < 2000) {
        h.frame();
        frames++;
        EXPECT_FALSE(h.shell.rankingEnabled);
    }
    ASSERT_EQ(h.g.playing, 0) << "giving up returns to the title";
    h.keys.release(Key::Home);
    h.frame();
    EXPECT_TRUE(h.shell.rankingEnabled);
}

TEST(StartupFailures, ADeviceThatCannotBeMadeShowsItsMessage) {
    Harness h;
    h.g.device.reset();
    EXPECT_FALSE(InitDirect3D(h.g, [] { return std::unique_ptr<gfx::Device>(); }));
    ASSERT_EQ(h.shell.messages.size(), 1u);
    EXPECT_EQ(h.shell.messages[0], ": Direct3D の初期化に失敗しました。");
}

TEST(StartupFailures, WithoutTheBoardPictureStartUpEndsWithNullTex) {
    std::vector<resources::Entry> entries;
    for (const resources::Entry& e : resources::Catalogue::embedded().entries())
        if (!(e.type == "BITMAP" && e.name == "BG")) entries.push_back(e);
    resources::Catalogue withoutBoard(entries);
    Harness h(gfx::Format::X8R8G8B8, withoutBoard);
    EXPECT_FALSE(h.deviceObjectsMade);
    ASSERT_EQ(h.shell.messages.size(), 1u);
    EXPECT_EQ(h.shell.messages[0], "error: null tex");
    EXPECT_NE(h.g.mainTextures[kDiceTexture], nullptr) << "SAI comes before BG";
    EXPECT_EQ(h.g.mainTextures[kTitleTexture], nullptr) << "nothing after BG is made";
    EXPECT_EQ(h.g.spriteSheet, nullptr);
    EXPECT_EQ(h.g.columnGauge[0][0], 0) << "the gauges are not reset";
}

}  // namespace
}  // namespace vemol::test
