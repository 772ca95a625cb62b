// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/opening_movie.h"

#include <algorithm>
#include <cstdio>

namespace vemol {

namespace {

constexpr float kDarkSeconds = 2.0f;  // from the window appearing to the clip
constexpr float kClipSeconds = 7.0f;  // from the clip starting to the area clearing
// The shortest wait, so float rounding near a deadline never turns a wait into a spin.
constexpr float kShortestWait = 0.001f;

float WaitFor(float seconds) { return std::max(seconds, kShortestWait); }

// The frame due `elapsed` seconds into the clip: frame i is due at i frame durations.
int FrameDueAt(const AviClip& clip, float elapsed) {
    const double frames = double(elapsed) * 1e6 / double(clip.microSecondsPerFrame);
    if (frames <= 0.0) return 0;
    if (frames >= double(clip.frameCount() - 1)) return clip.frameCount() - 1;
    return static_cast<int>(frames);
}

}  // namespace

OpeningMovie::OpeningMovie(Clock& clock, MovieScreen& screen, std::span<const std::uint8_t> clip)
    : clock_(clock), screen_(screen), read_(ReadAviClip(clip)), start_(clock.now()) {
    if (!read_.clip) std::fprintf(stderr, "vemol: opening movie skipped: %s\n", read_.error.c_str());
}

OpeningMovie::~OpeningMovie() = default;

// Deliberate difference: waits-on-loop.
// The original spun on the clock through the opening; the loop waits for the desktop
// instead, and the player sees the same timing.
float OpeningMovie::advance() {
    const float elapsed = clock_.now() - start_;
    switch (phase_) {
        case Phase::Dark:
            if (elapsed < kDarkSeconds) return WaitFor(kDarkSeconds - elapsed);
            phase_ = Phase::Clip;
            start_ = clock_.now();
            if (read_.clip) decoder_ = std::make_unique<AviFrameDecoder>(*read_.clip);
            return advanceClip(0.0f);
        case Phase::Clip: return advanceClip(elapsed);
        case Phase::Over: break;
    }
    return -1.0f;
}

// Shows the frame due, skipping any whose time has passed (a late machine catches up
// instead of running behind), until the last frame is up. A clip longer than the 7 s is
// cut off there.
float OpeningMovie::advanceClip(float elapsed) {
    if (elapsed >= kClipSeconds) {
        decoder_.reset();
        screen_.clearMovieArea();
        phase_ = Phase::Over;
        return -1.0f;
    }
    if (!decoder_) return WaitFor(kClipSeconds - elapsed);
    const AviClip& clip = *read_.clip;
    const int due = FrameDueAt(clip, elapsed);
    if (due != decoder_->currentFrame()) {
        decoder_->advanceTo(due);
        screen_.showMovieFrame(decoder_->pixels().data(), clip.width, clip.height, kMovieX, kMovieY);
    }
    if (due == clip.frameCount() - 1) {
        decoder_.reset();  // the last frame stays up
        return WaitFor(kClipSeconds - elapsed);
    }
    const double nextDue = double(due + 1) * double(clip.microSecondsPerFrame) / 1e6;
    return WaitFor(static_cast<float>(std::min<double>(nextDue, kClipSeconds) - elapsed));
}

}  // namespace vemol
