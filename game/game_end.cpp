// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The end of a game: the last picture is captured, cut into 16 x 12 tiles that drift
// apart and fall away over the title picture, then the game hands back to the title and
// keeps the best score.
#include <algorithm>
#include <memory>

#include "game/init_device.h"
#include "game/operations.h"
#include "game/passes.h"

namespace vemol {

namespace {

constexpr int kCaptureSize = 1024;  // the capture texture's side
constexpr float kTileFallLimit = -40.0f;

// Tile column k runs along x, row m along z.
ObjectRecord& Tile(GameState& g, int k, int m) { return g.shatterTiles[ShatterTileSlot(k, m)]; }

// Copies the top-left of the back buffer, as drawn so far in this frame, into a new
// capture texture. The previous game's capture goes first, so only one is ever held.
void CaptureBackBuffer(GameState& g) {
    if (g.device->texture() == g.captureTexture.get()) g.device->setTexture(nullptr);
    g.captureTexture.reset();
    const gfx::Surface& backBuffer = g.device->backBuffer();
    g.captureTexture = std::make_unique<gfx::Texture>(kCaptureSize, kCaptureSize, backBuffer.format());
    // The tiles show the game's picture, the back buffer's first 632 x 453 pixels.
    const gfx::Rect picture{0, 0, std::min(kBackBufferWidth, backBuffer.width()),
                            std::min(kBackBufferHeight, backBuffer.height())};
    gfx::Device::copyRect(backBuffer, picture, g.captureTexture->level0(), 0, 0);
}

// Every tile back at its place in the picture, with a random push: x velocity -0.5 to 0.4
// and z velocity -0.2 to 0.7 units per frame. The rand calls come tile after tile in
// this loop order, x velocity first, so a seed always breaks the picture the same way.
void LayOutTiles(GameState& g) {
    for (int m = 0; m < kTileRows; ++m) {
        for (int k = 0; k < kTileColumns; ++k) {
            ObjectRecord& tile = Tile(g, k, m);
            tile.world = gfx::MatrixIdentity();
            tile.x = 3.6f * static_cast<float>(k) - 27.0f;
            tile.y = -2.0f;
            tile.z = 3.6f * static_cast<float>(m) - 19.8f;
            tile.animB = static_cast<float>(g.random.rand() % 10) * 0.1f - 0.5f;
            tile.animA = static_cast<float>(g.random.rand() % 10) * 0.1f - 0.2f;
            tile.spin = 0.0f;
            tile.live = 1;
            tile.collected = 0;
        }
    }
}

// One frame of a tile: drift, slow its climb by a constant pull toward -z, draw it, and
// free it once it has fallen well past the bottom of the window.
void MoveAndDrawTile(GameState& g, ObjectRecord& tile, const gfx::Matrix& parent) {
    tile.x += tile.animB;
    tile.animA -= 0.04f;
    tile.z += tile.animA;
    tile.world.m[3][0] = tile.x;
    tile.world.m[3][1] = tile.y;
    tile.world.m[3][2] = tile.z;
    DrawWithWorld(g, parent, tile.world, *tile.mesh);
    if (tile.z < kTileFallLimit) tile.live = 0;
}

// Deliberate difference: save-off-frame.
// The last tile has fallen: back to the title, music off, scores kept. A raised best
// score is saved by the application after this frame, off the frame thread, so the disk
// never holds up the picture.
void FinishGame(GameState& g) {
    if (g.recorder) g.recorder->gameFinished(g.score);
    g.endCountdown = -1;
    g.playing = 0;
    g.sound->StopSoundSegment(Segment::Music);
    if (g.score > g.sessionBestScore) g.sessionBestScore = g.score;
    if (g.score > g.bestScore) g.bestScore = g.score;
}

}  // namespace

void BeginGameEnd(GameState& g) {
    CaptureBackBuffer(g);
    LayOutTiles(g);
}

void LeaveGame(GameState& g) {
    g.endCountdown = -1;
    g.endPause = 0;
    g.pausing = false;
    g.transitionStep = kNoTransition;
    g.playing = 0;
    g.sound->StopSoundSegment(Segment::Music);
}

void UpdateGameEnd(GameState& g, const gfx::Matrix& parent) {
    g.device->setTexture(g.captureTexture.get());
    bool anyLive = false;
    for (int m = 0; m < kTileRows; ++m) {
        for (int k = 0; k < kTileColumns; ++k) {
            ObjectRecord& tile = Tile(g, k, m);
            if (!tile.live) continue;
            MoveAndDrawTile(g, tile, parent);
            anyLive = anyLive || tile.live;
        }
    }
    if (anyLive) {
        g.endCountdown = 0;
        return;
    }
    FinishGame(g);
}

}  // namespace vemol
