// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The opening: the maker's logo clip, shown once between the window appearing and the
// title screen.
#include <cstdint>
#include <memory>
#include <span>

#include "app/avi_reader.h"

#include "game/services.h"

namespace vemol {

class MovieScreen {  // implemented by the main window
public:
    virtual ~MovieScreen() = default;
    // Shows one frame, rows top-down, pixels 0x00RRGGBB, at (x, y) of the drawing area.
    virtual void showMovieFrame(const std::uint32_t* pixels, int width, int height, int x, int y) = 0;
    virtual void clearMovieArea() = 0;  // back to the dark window background
};

// Where the clip's top-left corner goes in the drawing area.
constexpr int kMovieX = 260;
constexpr int kMovieY = 180;

// Deliberate difference: damaged-clip.
// The opening: dark for 2 s, the clip once, unscaled, top-left at (260, 180), last frame
// held, the area cleared 7 s after the clip began. The main loop advances it like frames;
// it reads no input. A clip that cannot be read is skipped with one line on standard
// error; the 9 seconds still pass.
class OpeningMovie {
public:
    // The 2 dark seconds start now.
    OpeningMovie(Clock& clock, MovieScreen& screen, std::span<const std::uint8_t> clip);
    ~OpeningMovie();
    // Shows what is due now. Returns the seconds until something more is due, or a
    // negative number once the opening is over and the area is cleared.
    float advance();

private:
    enum class Phase { Dark, Clip, Over };
    float advanceClip(float elapsed);

    Clock& clock_;
    MovieScreen& screen_;
    AviReadResult read_;
    std::unique_ptr<AviFrameDecoder> decoder_;  // while the clip still has frames to show
    Phase phase_ = Phase::Dark;
    float start_;
};

}  // namespace vemol
