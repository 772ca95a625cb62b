// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one game state record: device objects, pools, the player's die, the scalars and
// the services. Created once, passed by reference.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/random.h"
#include "game/services.h"
#include "gfx/device.h"

namespace vemol {

struct ObjectRecord {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float spin = 0.0f;
    gfx::Matrix world = gfx::MatrixIdentity();
    float spawnTime = 0.0f;
    float lastMoveTime = 0.0f;
    std::int32_t face = 0;
    gfx::Mesh* mesh = nullptr;  // the slot's own mesh, owned by GameState::meshes
    std::int32_t live = 0;
    std::int32_t collected = 0;
    float heading = 0.0f;
    float animA = 0.0f;
    float animB = 0.0f;
    float speed = 0.0f;
    std::int32_t column = 0;
};

struct PlayerDie {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    gfx::Matrix world = gfx::MatrixIdentity();
    std::int32_t rollDir = 0;  // 0 idle, 1 -x, 2 +x, 3 -z, 4 +z
    float rollStart = 0.0f;
    float frameTime = 0.0f;
    float nextShotTime = 0.0f;
    std::int32_t topFace = 1;
};

// The board's columns, each with a gauge of ten cells. A gauge cell holds kEmptyGaugeCell,
// n > 0 (claimed, shown in n frames) or 0 (filled and shown).
constexpr int kColumns = 12;
constexpr int kGaugeCells = 10;
constexpr std::int32_t kEmptyGaugeCell = -1;

// The game-over picture breaks into 16 columns by 12 rows of tiles; row 0 is the bottom
// of the picture.
constexpr int kTileColumns = 16;
constexpr int kTileRows = 12;
// The shatterTiles slot of the tile in column k, row m.
constexpr int ShatterTileSlot(int k, int m) { return kTileRows * k + m; }

constexpr std::int32_t kNoTransition = -1;

// The three main pictures: the dice faces (SAI), the board (BG) and the title (OPENING).
enum MainTexture { kDiceTexture, kBoardTexture, kTitleTexture, kMainTextureCount };

struct GameState {
    // Services (not owned).
    Clock* clock = nullptr;
    Keyboard* keys = nullptr;
    SoundPlayer* sound = nullptr;
    Shell* shell = nullptr;
    GameRecorder* recorder = nullptr;  // null when no game is being recorded or replayed

    // Device objects.
    std::unique_ptr<gfx::Device> device;
    std::array<std::unique_ptr<gfx::Texture>, kMainTextureCount> mainTextures;
    std::unique_ptr<gfx::Texture> blastTexture;
    std::array<std::unique_ptr<gfx::Texture>, 6> pointTextures;
    std::unique_ptr<gfx::Surface> spriteSheet;
    std::unique_ptr<gfx::Texture> captureTexture;
    std::vector<std::unique_ptr<gfx::Mesh>> meshes;  // every slot's square, kept for the run
    std::unique_ptr<gfx::Mesh> playerDieMesh;

    // Pools.
    std::array<ObjectRecord, 30> fallingDice;
    std::array<ObjectRecord, 10> shots;
    std::array<ObjectRecord, 10> blasts;
    std::array<ObjectRecord, 10> scorePopups;
    std::array<ObjectRecord, kTileColumns * kTileRows> shatterTiles;  // see ShatterTileSlot
    ObjectRecord backdrop;
    PlayerDie player;

    // Scalars.
    std::int32_t score = 0;
    std::int32_t bestScore = 0;
    std::int32_t sessionBestScore = 0;
    std::int32_t playing = 0;
    std::int32_t endCountdown = -1;
    std::int32_t endPause = 0;
    // The waits the main loop advances frame by frame: the next of the new-game
    // transition's frames (kNoTransition when none runs), and the game-over pause under
    // way since pauseStart, its frame drawn up to the pause and not yet presented.
    std::int32_t transitionStep = kNoTransition;
    bool pausing = false;
    float pauseStart = 0.0f;
    std::int32_t columnGauge[kColumns][kGaugeCells] = {};
    std::int32_t menuSelection = 0;
    std::int32_t menuKeyDelay = 0;

    Random random;
    std::string bestScorePath = "vemol.dat";
    // False when vemol.dat exists but could not be read: the game never saves over it.
    bool bestScoreKeepable = true;

    float now() { return clock->now(); }
};

}  // namespace vemol
