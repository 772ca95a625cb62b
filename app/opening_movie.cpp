#include "app/opening_movie.h"

#include <algorithm>
#include <cstdio>

#include "app/avi_reader.h"

namespace vemol {

namespace {

constexpr float kDarkSeconds = 2.0f;  // from the window appearing to the clip
constexpr float kClipSeconds = 7.0f;  // from the clip starting to the area clearing
// The longest single sleep, so the platform gets the thread back often enough to answer
// the desktop; the shortest, so float rounding near a deadline never turns a wait into a spin.
constexpr float kLongestSleep = 0.05f;
constexpr float kShortestSleep = 0.001f;

void SleepFor(Clock& clock, float seconds) { clock.sleep(std::clamp(seconds, kShortestSleep, kLongestSleep)); }

// Waits until now - start >= seconds, measured on the game's float clock. The original
// spun on the clock here; we sleep, and the player sees the same timing.
void WaitUntil(Clock& clock, float start, float seconds) {
    for (float elapsed = clock.now() - start; elapsed < seconds; elapsed = clock.now() - start)
        SleepFor(clock, seconds - elapsed);
}

// The frame due `elapsed` seconds into the clip: frame i is due at i frame durations.
int FrameDueAt(const AviClip& clip, float elapsed) {
    const double frames = double(elapsed) * 1e6 / double(clip.microSecondsPerFrame);
    if (frames <= 0.0) return 0;
    if (frames >= double(clip.frameCount() - 1)) return clip.frameCount() - 1;
    return static_cast<int>(frames);
}

// Shows each frame when it is due, skipping any whose time has passed (a late player
// catches up instead of running behind), until the last frame is up. A clip longer than
// the 7 s is cut off there.
void PlayClip(Clock& clock, MovieScreen& screen, const AviClip& clip, float start) {
    AviFrameDecoder decoder(clip);
    const int last = clip.frameCount() - 1;
    for (;;) {
        const float elapsed = clock.now() - start;
        if (elapsed >= kClipSeconds) return;
        const int due = FrameDueAt(clip, elapsed);
        if (due != decoder.currentFrame()) {
            decoder.advanceTo(due);
            screen.showMovieFrame(decoder.pixels().data(), clip.width, clip.height, kMovieX, kMovieY);
        }
        if (due == last) return;  // the last frame stays up
        const double nextDue = double(due + 1) * double(clip.microSecondsPerFrame) / 1e6;
        SleepFor(clock, static_cast<float>(std::min<double>(nextDue, kClipSeconds) - elapsed));
    }
}

}  // namespace

void PlayOpeningMovie(Clock& clock, MovieScreen& screen, std::span<const std::uint8_t> clipBytes) {
    const AviReadResult read = ReadAviClip(clipBytes);
    if (!read.clip) std::fprintf(stderr, "vemol: opening movie skipped: %s\n", read.error.c_str());

    float start = clock.now();
    WaitUntil(clock, start, kDarkSeconds);
    start = clock.now();
    if (read.clip) PlayClip(clock, screen, *read.clip, start);
    WaitUntil(clock, start, kClipSeconds);
    screen.clearMovieArea();
}

}  // namespace vemol
