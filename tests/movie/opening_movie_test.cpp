// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/opening_movie.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "clip_builder.h"

namespace vemol {
namespace {

using test::BuildClip;
using test::ByteVector;
using test::ClipLayout;
using test::PackRows;

// A clock that only moves when slept on, optionally oversleeping like a busy machine.
class FakeClock : public Clock {
public:
    explicit FakeClock(double oversleep = 0.0) : oversleep_(oversleep) {}
    float now() override { return static_cast<float>(time); }
    void sleep(float seconds) {
        sleeps.push_back(seconds);
        time += double(seconds) + oversleep_;
    }
    double time = 0.0;
    std::vector<float> sleeps;

private:
    double oversleep_;
};

// Advances the opening as the main loop does, waiting on the clock for as long as it asks.
void PlayOpeningMovie(FakeClock& clock, MovieScreen& screen, std::span<const std::uint8_t> clip) {
    OpeningMovie movie(clock, screen, clip);
    for (float wait = movie.advance(); wait >= 0.0f; wait = movie.advance()) clock.sleep(wait);
}

struct ScreenEvent {
    double time;
    bool clear;
    int frame;  // which frame, told by its colour
    int width, height, x, y;
};

class RecordingScreen : public MovieScreen {
public:
    explicit RecordingScreen(const FakeClock& clock) : clock_(clock) {}
    void showMovieFrame(const std::uint32_t* pixels, int width, int height, int x, int y) override {
        // Every test frame is one colour whose red component is the frame number.
        const bool uniform =
            std::all_of(pixels, pixels + width * height, [&](std::uint32_t p) { return p == pixels[0]; });
        EXPECT_TRUE(uniform);
        events.push_back({clock_.time, false, int(pixels[0] >> 16), width, height, x, y});
    }
    void clearMovieArea() override { events.push_back({clock_.time, true, -1, 0, 0, 0, 0}); }
    std::vector<ScreenEvent> events;

private:
    const FakeClock& clock_;
};

// `count` frames of 5 x 3 pixels, frame i painted all in colour i.
ByteVector NumberedClip(int count, std::uint32_t microSecondsPerFrame) {
    ClipLayout layout;
    layout.width = 5;
    layout.height = 3;
    layout.microSecondsPerFrame = microSecondsPerFrame;
    layout.palette = test::TestPalette(256);
    for (int i = 0; i < count; ++i) {
        const ByteVector row(5, std::uint8_t(i));
        layout.frames.push_back(PackRows({row, row, row}));
    }
    return BuildClip(layout);
}

constexpr double kFrameSeconds = 0.027778;

TEST(OpeningMovie, DarkTwoSecondsThenEveryFrameOnTimeLastHeldClearedAtNine) {
    const ByteVector clip = NumberedClip(166, 27778);
    FakeClock clock;
    RecordingScreen screen(clock);
    PlayOpeningMovie(clock, screen, clip);

    auto& events = screen.events;
    ASSERT_EQ(events.size(), 167u);
    for (int i = 0; i < 166; ++i) {
        const ScreenEvent& e = events[std::size_t(i)];
        ASSERT_FALSE(e.clear);
        EXPECT_EQ(e.frame, i);
        EXPECT_NEAR(e.time, 2.0 + i * kFrameSeconds, 0.0015) << "frame " << i;
        EXPECT_EQ(std::vector<int>({e.width, e.height, e.x, e.y}), std::vector<int>({5, 3, 260, 180}));
    }
    // The last frame (at about 6.58 s) stays up until the area is cleared at 9 s.
    EXPECT_TRUE(events.back().clear);
    EXPECT_GE(events.back().time, 9.0 - 1e-4);
    EXPECT_LT(events.back().time, 9.0 + 0.002);

    // The loop waits until the next frame is due, never spins.
    for (float s : clock.sleeps) EXPECT_GT(s, 0.0f);
    EXPECT_LT(clock.sleeps.size(), 1000u);
}

TEST(OpeningMovie, ALateClockSkipsToTheFrameDueAndNeverRunsBehind) {
    const ByteVector clip = NumberedClip(166, 27778);
    FakeClock clock(0.07);  // every sleep runs 70 ms long
    RecordingScreen screen(clock);
    PlayOpeningMovie(clock, screen, clip);

    auto& events = screen.events;
    ASSERT_GE(events.size(), 3u);
    const double clipStart = events.front().time;
    EXPECT_GE(clipStart, 2.0);
    EXPECT_EQ(events.front().frame, 0);
    for (std::size_t i = 0; i + 1 < events.size(); ++i) {
        const ScreenEvent& e = events[i];
        ASSERT_FALSE(e.clear);
        const int due = std::min(165, int((e.time - clipStart) / kFrameSeconds + 1e-6));
        EXPECT_EQ(e.frame, due) << "shown at " << e.time;
        if (i > 0) {
            EXPECT_GT(e.frame, events[i - 1].frame);
        }
    }
    EXPECT_EQ(events[events.size() - 2].frame, 165);
    EXPECT_TRUE(events.back().clear);
    EXPECT_GE(events.back().time - clipStart, 7.0 - 1e-4);
    EXPECT_LT(events.back().time - clipStart, 7.0 + 0.13);
}

TEST(OpeningMovie, AnUnreadableClipIsSkippedWithOneLineAndStillTakesNineSeconds) {
    const ByteVector damaged = [] {
        ByteVector bytes = NumberedClip(10, 27778);
        bytes.resize(bytes.size() / 2);
        return bytes;
    }();
    for (const ByteVector& clip : {damaged, ByteVector{}}) {
        FakeClock clock;
        RecordingScreen screen(clock);
        testing::internal::CaptureStderr();
        PlayOpeningMovie(clock, screen, clip);
        const std::string said = testing::internal::GetCapturedStderr();

        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find("opening movie"), std::string::npos) << said;
        ASSERT_EQ(screen.events.size(), 1u);
        EXPECT_TRUE(screen.events[0].clear);
        EXPECT_NEAR(screen.events[0].time, 9.0, 0.002);
    }
}

TEST(OpeningMovie, AClipLongerThanSevenSecondsIsCutOffWhenTheAreaClears) {
    const ByteVector clip = NumberedClip(250, 40000);  // 10 s of frames
    FakeClock clock;
    RecordingScreen screen(clock);
    PlayOpeningMovie(clock, screen, clip);

    auto& events = screen.events;
    ASSERT_GE(events.size(), 2u);
    EXPECT_TRUE(events.back().clear);
    EXPECT_NEAR(events.back().time, 9.0, 0.002);
    const ScreenEvent& lastShown = events[events.size() - 2];
    EXPECT_EQ(lastShown.frame, 174);  // due at 6.96 s into the clip; frame 175 would be at 7.0
    EXPECT_LT(lastShown.time, 9.0);
}

}  // namespace
}  // namespace vemol
