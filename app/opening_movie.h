#pragma once
// The opening: the maker's logo clip, shown once between the window appearing and the
// title screen.
#include <cstdint>
#include <span>

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

// The opening: dark for 2 s, the clip once, unscaled, top-left at (260, 180), last frame
// held, the area cleared 7 s after the clip began. Waits with clock.sleep (which keeps the
// window answering the desktop but reads no input). A clip that cannot be read is skipped
// with one line on standard error; the 9 seconds still pass.
void PlayOpeningMovie(Clock& clock, MovieScreen& screen, std::span<const std::uint8_t> clip);

}  // namespace vemol
