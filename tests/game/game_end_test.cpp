// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The end of a game: the capture, the tiles, the ordered finish with the best score, and
// the end as the player meets it in whole frames.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "game/operations.h"
#include "support/harness.h"

namespace vemol {
namespace {

namespace fs = std::filesystem;

std::string ScratchDir() {
    std::string pattern = ::testing::TempDir() + "vemol_end_XXXXXX";
    if (!::mkdtemp(pattern.data())) return {};
    return pattern;
}

// The capture's top-left must hold the back buffer's picture pixel for pixel.
void ExpectCaptureOf(const gfx::Texture& capture, const gfx::Surface& picture) {
    ASSERT_EQ(capture.width(), 1024);
    ASSERT_EQ(capture.height(), 1024);
    ASSERT_EQ(capture.format(), picture.format());
    int differing = 0;
    for (int y = 0; y < 453; ++y)
        for (int x = 0; x < 632; ++x)
            if (capture.level0().pixel(x, y) != picture.pixel(x, y)) ++differing;
    EXPECT_EQ(differing, 0);
}

class GameEndTest : public ::testing::TestWithParam<gfx::Format> {
protected:
    void SetUp() override {
        dir = ScratchDir();
        ASSERT_FALSE(dir.empty());
        ASSERT_TRUE(h.deviceObjectsMade);
        g.bestScorePath = dir + "/vemol.dat";
        g.playing = 1;
    }
    void TearDown() override { fs::remove_all(dir); }

    // Game-over frames until the last tile has fallen; returns how many ran.
    int FramesUntilTheTitle(int limit = 200) {
        for (int n = 1; n <= limit; ++n) {
            UpdateGameEnd(g, gfx::MatrixIdentity());
            if (g.playing == 0) return n;
            EXPECT_EQ(g.endCountdown, 0);
        }
        return 0;
    }

    std::string dir;
    test::Harness h{GetParam()};
    GameState& g = h.g;
    test::SoundRecorder& sound = h.sound;
};

TEST_P(GameEndTest, TheCaptureHoldsThePictureAndTheTilesStartWhereTheyBelong) {
    gfx::Surface& back = g.device->backBuffer();
    g.device->clear(0xFF336699u, 1.0f);
    gfx::LockedRect bits = back.lock();
    for (int y = 0; y < 453; y += 7)  // a diagonal pattern, so misplaced rows show
        for (int x = (y / 7) % 632; x < 632; x += 97)
            std::fill_n(bits.bits + y * bits.pitch + x * gfx::BytesPerPixel(back.format()),
                        gfx::BytesPerPixel(back.format()), 0xC3);
    back.unlock();

    g.random.srand(4242);
    BeginGameEnd(g);
    ASSERT_NE(g.captureTexture, nullptr);
    ExpectCaptureOf(*g.captureTexture, back);

    // Tile (k, m) is slot 12 k + m; the two rand calls per tile, x velocity first, come
    // row by row from the bottom of the picture.
    Random reference;
    reference.srand(4242);
    for (int m = 0; m < 12; ++m)
        for (int k = 0; k < 16; ++k) {
            const ObjectRecord& tile = g.shatterTiles[12 * k + m];
            const float vx = static_cast<float>(reference.rand() % 10) * 0.1f - 0.5f;
            const float vz = static_cast<float>(reference.rand() % 10) * 0.1f - 0.2f;
            ASSERT_EQ(tile.animB, vx) << k << "," << m;
            ASSERT_EQ(tile.animA, vz) << k << "," << m;
            EXPECT_FLOAT_EQ(tile.x, 3.6f * k - 27.0f);
            EXPECT_FLOAT_EQ(tile.z, 3.6f * m - 19.8f);
            EXPECT_EQ(tile.y, -2.0f);
            EXPECT_EQ(tile.live, 1);
        }

    // A second game's end replaces the capture.
    g.device->clear(0xFF000000u, 1.0f);
    BeginGameEnd(g);
    ExpectCaptureOf(*g.captureTexture, back);
}

TEST_P(GameEndTest, TilesRiseThenFallAndTheLastOneEndsTheGame) {
    g.random.srand(7);
    BeginGameEnd(g);
    ObjectRecord& far = g.shatterTiles[12 * 3 + 11];
    far.animA = 0.7f;  // the fastest climb from the far row: the last tile to go
    far.animB = 0.0f;
    const float x0 = far.x;
    UpdateGameEnd(g, gfx::MatrixIdentity());
    EXPECT_FLOAT_EQ(far.animA, 0.66f);
    EXPECT_FLOAT_EQ(far.z, 19.8f + 0.66f);
    EXPECT_EQ(far.x, x0);
    EXPECT_FLOAT_EQ(far.world.m[3][2], far.z);
    EXPECT_EQ(far.world.m[3][1], -2.0f);

    // z falls below -40 after about 75 frames; no tile outlives it.
    const int frames = 1 + FramesUntilTheTitle();
    EXPECT_GE(frames, 70);
    EXPECT_LE(frames, 80);
    EXPECT_EQ(far.live, 0);
    EXPECT_LT(far.z, -40.0f);
    EXPECT_EQ(g.endCountdown, -1);
    EXPECT_EQ(sound.count(Segment::Music, test::SoundCall::Stop), 1);
}

// The core only raises the numbers: the application saves them after the frame, off the
// frame thread (tests/app/file_writer_test.cpp).
TEST_P(GameEndTest, ABeatenBestIsRaisedAndLeftToTheApplicationToSave) {
    g.bestScore = 200;
    g.sessionBestScore = 150;
    g.score = 340;
    BeginGameEnd(g);
    FramesUntilTheTitle();
    EXPECT_EQ(g.bestScore, 340);
    EXPECT_EQ(g.sessionBestScore, 340);
    EXPECT_FALSE(fs::exists(g.bestScorePath));
}

TEST_P(GameEndTest, AScoreThatDoesNotBeatTheBestWritesNothing) {
    g.bestScore = 500;
    g.score = 500;
    BeginGameEnd(g);
    FramesUntilTheTitle();
    EXPECT_EQ(g.bestScore, 500);
    EXPECT_EQ(g.sessionBestScore, 500);
    EXPECT_FALSE(fs::exists(g.bestScorePath));

    // A lower game still raises the run's best while it is higher than the run's best.
    g.playing = 1;
    g.score = 0;
    g.bestScore = 0;
    g.sessionBestScore = 0;
    BeginGameEnd(g);
    FramesUntilTheTitle();
    EXPECT_FALSE(fs::exists(g.bestScorePath));  // no file and a score of 0: still none
    g.playing = 1;
    g.score = 90;
    g.bestScore = 1000;
    g.sessionBestScore = 40;
    BeginGameEnd(g);
    FramesUntilTheTitle();
    EXPECT_EQ(g.sessionBestScore, 90);
    EXPECT_EQ(g.bestScore, 1000);
    EXPECT_FALSE(fs::exists(g.bestScorePath));
}

INSTANTIATE_TEST_SUITE_P(BothFormats, GameEndTest, ::testing::Values(gfx::Format::X8R8G8B8, gfx::Format::R5G6B5),
                         [](const auto& info) {
                             return info.param == gfx::Format::R5G6B5 ? std::string("R5G6B5") : std::string("X8R8G8B8");
                         });

// The end as the player meets it: whole frames through the game flow.
class GameEndInPlay : public ::testing::Test {
protected:
    void SetUp() override {
        dir = ScratchDir();
        ASSERT_FALSE(dir.empty());
        h.g.bestScorePath = dir + "/vemol.dat";
        ASSERT_TRUE(h.deviceObjectsMade);
        h.startGame();
        h.frames(30);
    }
    void TearDown() override { fs::remove_all(dir); }

    void GiveUp() {
        h.keys.press(Key::Home);
        h.frame();
        h.keys.release(Key::Home);
    }
    int GameOverFrames() {
        int n = 0;
        while (h.g.playing != 0 && n < 200) {
            h.frame();
            ++n;
        }
        return n;
    }

    std::string dir;
    test::Harness h;
};

TEST_F(GameEndInPlay, HomeGivesTenMorePlayFramesAndNoPause) {
    GiveUp();
    ASSERT_EQ(h.g.endCountdown, 10);
    EXPECT_EQ(h.g.endPause, 0);
    ExpectCaptureOf(*h.g.captureTexture, h.g.device->backBuffer());  // the complete last frame
    const gfx::Texture* capture = h.g.captureTexture.get();
    const ObjectRecord tile = h.g.shatterTiles[100];

    // HOME held through the countdown and the game-over frames changes nothing.
    h.keys.press(Key::Home);
    for (int n = 1; n <= 9; ++n) {
        h.frame();
        ASSERT_EQ(h.g.endCountdown, 10 - n);
    }
    const float before = h.clock.t;
    h.frame();
    EXPECT_EQ(h.g.endCountdown, 0);
    EXPECT_FLOAT_EQ(h.clock.t, before + 1.0f / 60.0f);  // no pause
    EXPECT_EQ(h.g.captureTexture.get(), capture);
    EXPECT_EQ(h.g.shatterTiles[100].x, tile.x + tile.animB);

    GameOverFrames();
    EXPECT_EQ(h.g.captureTexture.get(), capture);
    EXPECT_EQ(h.g.playing, 0);
    EXPECT_EQ(h.g.endCountdown, -1);
    EXPECT_EQ(h.sound.count(Segment::Music, test::SoundCall::Stop), 1);
    EXPECT_FALSE(fs::exists(h.g.bestScorePath));  // score 0, no file before
    h.keys.release(Key::Home);
}

TEST_F(GameEndInPlay, AFullColumnGivesNineMorePlayFramesAndAPause) {
    for (int k = 0; k < 10; ++k) h.g.columnGauge[11][k] = 0;
    h.frame();
    ASSERT_EQ(h.g.endCountdown, 9);
    ASSERT_EQ(h.g.endPause, 1);
    for (int n = 1; n <= 8; ++n) {
        h.frame();
        ASSERT_EQ(h.g.endCountdown, 9 - n);
    }
    const float before = h.clock.t;
    h.frame();
    EXPECT_EQ(h.g.endCountdown, 0);
    EXPECT_EQ(h.g.endPause, 0);
    EXPECT_GE(h.clock.t - before, 0.7f);
}

TEST_F(GameEndInPlay, AFullColumnCaptureShowsTheBackdropAndHudButNoDice) {
    // Column 11's cells lie below the picture, so the whole visible HUD is drawn before
    // its cell 0 ends the game.
    for (int k = 0; k < 10; ++k) h.g.columnGauge[11][k] = 0;
    for (int k = 3; k < 10; ++k) h.g.columnGauge[2][k] = 0;
    h.frame();
    ASSERT_EQ(h.g.endCountdown, 9);
    const gfx::Texture* capture = h.g.captureTexture.get();
    ASSERT_NE(capture, nullptr);

    // The frame as shown has the player's die over the backdrop ...
    int differing = 0;
    for (int y = 0; y < 453; ++y)
        for (int x = 0; x < 632; ++x)
            if (capture->level0().pixel(x, y) != h.g.device->backBuffer().pixel(x, y)) ++differing;
    EXPECT_GT(differing, 100);

    // ... while the capture is just the backdrop and the HUD.
    ClearFrame(h.g);
    h.g.device->beginScene();
    h.g.device->setWorld(gfx::MatrixIdentity());
    DrawBackdropInPlay(h.g, gfx::MatrixIdentity());
    DrawHud(h.g);
    ExpectCaptureOf(*capture, h.g.device->backBuffer());
}

TEST_F(GameEndInPlay, ADieArrivingDuringTheCountdownStillPaysAndCounts) {
    GiveUp();
    ObjectRecord& die = h.g.fallingDice[29];  // knocked out and about to reach the score point
    die.live = 1;
    die.collected = 1;
    die.face = 2;
    die.x = 19.5f;
    die.z = -5.0f;
    die.speed = 0.5f;
    die.heading = 0.0f;
    h.frame();
    EXPECT_EQ(die.live, 0);
    EXPECT_EQ(h.g.score, 30);
    GameOverFrames();
    EXPECT_EQ(h.g.bestScore, 30);
    EXPECT_EQ(h.g.sessionBestScore, 30);
}

TEST_F(GameEndInPlay, HalfwayThroughTheBreakUp) {
    // Some gauge blocks and points, so the pieces show the HUD as well as the board.
    for (int k = 5; k < 10; ++k) h.g.columnGauge[1][k] = 0;
    for (int k = 2; k < 10; ++k) h.g.columnGauge[6][k] = 0;
    h.g.score = 1230;
    h.frame();
    GiveUp();
    h.frames(10 + 30);
    ASSERT_EQ(h.g.endCountdown, 0);
    int live = 0;
    for (const ObjectRecord& tile : h.g.shatterTiles) live += tile.live;
    EXPECT_GT(live, 0);
    EXPECT_LT(live, 192);
    test::ExpectMatchesGolden(h.g.device->backBuffer(), "game_over_half_fallen");
}

}  // namespace
}  // namespace vemol
