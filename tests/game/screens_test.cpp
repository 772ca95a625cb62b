// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The screens as pictures: the title, a frame of the new-game transition and a busy play
// frame, compared with golden images we have looked at.
#include <memory>

#include "game/dice_faces.h"
#include "play_support.h"

namespace vemol::test {
namespace {

constexpr std::uint32_t kCream = kClearColour & 0xFFFFFFu;

std::uint32_t Rgb(const gfx::Surface& s, int x, int y) { return s.pixel(x, y) & 0xFFFFFFu; }

TEST(Screens, TitleFrame) {
    Harness h;
    ASSERT_TRUE(h.deviceObjectsMade);
    h.frame();
    const gfx::Surface& shot = h.g.device->backBuffer();
    // The title picture fills the window: no cream along the top and bottom edges. (The
    // picture's left edge lies 0.03 units inside the view, so column 0 may stay cream.)
    for (int x = 8; x < shot.width(); x += 8) {
        EXPECT_NE(Rgb(shot, x, 0), kCream);
        EXPECT_NE(Rgb(shot, x, shot.height() - 1), kCream);
    }
    ExpectMatchesGolden(shot, "title");
}

TEST(Screens, TransitionFrame) {
    Harness h;
    ASSERT_TRUE(h.deviceObjectsMade);
    h.frame();
    // Keep the 41st of the 50 transition frames (step 40) as it is presented.
    std::unique_ptr<gfx::Surface> kept;
    const std::uint64_t first = h.g.device->presentCount();
    h.g.device->setPresentHandler([&](const gfx::Surface& back, const gfx::ChangedRows&) {
        if (h.g.device->presentCount() == first + 41) kept = std::make_unique<gfx::Surface>(back);
    });
    h.startGame();
    ASSERT_TRUE(kept);
    // Tipped nearly edge-on and risen: the cream shows below it, the picture above.
    EXPECT_EQ(Rgb(*kept, 316, kept->height() - 2), kCream);
    EXPECT_NE(Rgb(*kept, 316, 2), kCream);
    ExpectMatchesGolden(*kept, "transition");
}

TEST(Screens, BusyPlayFrame) {
    Harness h;
    ASSERT_TRUE(h.deviceObjectsMade);
    h.startGame();
    GameState& g = h.g;
    HoldBackFallingDice(g);
    // Dice of every face coming down, one of them knocked out and flying home.
    for (int face = 0; face < 6; ++face) {
        ObjectRecord& die = PutDie(g, face, 3.46f * static_cast<float>(2 * face) - 22.7f,
                                   18.0f - 4.0f * static_cast<float>(face), face);
        WriteDiceTexCoords(*die.mesh, face);
    }
    g.fallingDice[4].collected = 1;
    // Shots in the air, a blast and pop-ups, some gauge cells, and a roll under way.
    for (int i = 0; i < 3; ++i) {
        ObjectRecord& shot = g.shots[i];
        shot.live = 1;
        shot.face = i + 1;
        shot.x = 3.46f * static_cast<float>(3 + 3 * i) - 22.7f;
        shot.y = 4.0f;
        shot.z = -8.0f + 5.0f * static_cast<float>(i);
        shot.spawnTime = shot.lastMoveTime = g.now();
        WriteDiceTexCoords(*shot.mesh, shot.face);
    }
    ObjectRecord at;
    at.x = 8.0f;
    at.z = 2.0f;
    at.face = 5;
    SpawnBlast(g, at);
    SpawnScorePopup(g, at);
    at.x = -14.0f;
    at.z = -2.0f;
    at.face = 1;
    SpawnScorePopup(g, at);
    for (int cell = 6; cell < 10; ++cell) g.columnGauge[1][cell] = 0;
    for (int cell = 8; cell < 10; ++cell) g.columnGauge[7][cell] = 0;
    h.keys.press(Key::Right);
    h.frames(4);
    h.keys.release(Key::Right);
    const gfx::Surface& shot = g.device->backBuffer();
    ExpectMatchesGolden(shot, "play");
}

// Whoever shows the frames looks only where the device says it wrote, so every pixel
// that differs from the frame presented before must lie in its row's named span: through
// the title, a new game, play with rolls and shots, giving up, the break-up and the title.
TEST(Screens, EveryPixelThatChangedSinceTheLastFrameIsNamed) {
    Harness h;
    ASSERT_TRUE(h.deviceObjectsMade);
    std::unique_ptr<gfx::Surface> last;
    int unnamedDiffering = 0, pixelsNamedOnTitle = -1;
    h.g.device->setPresentHandler([&](const gfx::Surface& back, const gfx::ChangedRows& written) {
        int named = 0;
        for (int y = 0; y < back.height(); ++y) {
            const gfx::ChangedRows::Span span = written.span(y);
            named += span.empty() ? 0 : span.right - span.left;
            for (int x = 0; last && x < back.width(); ++x) {
                if ((x < span.left || x >= span.right) && back.pixel(x, y) != last->pixel(x, y)) ++unnamedDiffering;
            }
        }
        if (h.g.playing == 0) pixelsNamedOnTitle = named;
        last = std::make_unique<gfx::Surface>(back);
    });
    h.frames(3);
    EXPECT_LT(pixelsNamedOnTitle, h.g.device->width() * h.g.device->height() / 8);  // the title stands still
    h.startGame();
    for (int i = 0; i < 120; ++i) {
        h.keys.tap(i % 40 < 20 ? Key::Left : Key::Right);
        if (i % 7 == 0) h.keys.tap(Key::Space);
        h.frame();
    }
    h.keys.press(Key::Home);
    h.frame();
    h.keys.release(Key::Home);
    for (int i = 0; i < 2000 && h.g.playing != 0; ++i) h.frame();
    h.frames(3);
    EXPECT_EQ(h.g.playing, 0);
    EXPECT_EQ(unnamedDiffering, 0);
}

}  // namespace
}  // namespace vemol::test
