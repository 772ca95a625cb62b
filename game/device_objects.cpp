// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up creation of every device object: the squares of every pool slot, the player's
// cube, the textures, the HUD sprite sheet, then the camera.
#include <cstdint>

#include "game/device_objects.h"

#include "game/operations.h"

namespace vemol {
namespace {

constexpr float kNormalUp[3] = {0.0f, 1.0f, 0.0f};

// The four corners of a flat square of half-size h lying in y = 0, in the fixed corner
// order (+h,-h), (+h,+h), (-h,-h), (-h,+h), wound to face the camera.
void SquareTemplate(gfx::QuadVertex out[4], float h, std::uint32_t diffuse, const float uv[4][2]) {
    const float xz[4][2] = {{h, -h}, {h, h}, {-h, -h}, {-h, h}};
    for (int c = 0; c < 4; c++)
        out[c] = {xz[c][0], 0.0f, xz[c][1], kNormalUp[0], kNormalUp[1], kNormalUp[2], diffuse, uv[c][0], uv[c][1]};
}

constexpr float kWholePicture[4][2] = {{1, 1}, {1, 0}, {0, 1}, {0, 0}};
constexpr float kNoPicture[4][2] = {{0, 0}, {0, 0}, {0, 0}, {0, 0}};

gfx::Mesh* NewMesh(GameState& g, int vertices, int indices) {
    g.meshes.push_back(std::make_unique<gfx::Mesh>(vertices, indices));
    return g.meshes.back().get();
}

gfx::Mesh* NewSquare(GameState& g, float h, std::uint32_t diffuse, const float uv[4][2]) {
    gfx::QuadVertex corners[4];
    SquareTemplate(corners, h, diffuse, uv);
    gfx::Mesh* mesh = NewMesh(g, 6, 6);
    CreateQuadMesh(*mesh, corners);
    return mesh;
}

// Tile (row i from the bottom of the screen, column j from the left) shows its piece of
// the 632 x 453 capture inside the 1024 x 1024 texture. Computed in double precision and
// stored as floats.
gfx::Mesh* NewTile(GameState& g, int i, int j) {
    const double top = static_cast<double>(0.444f);
    const float u0 = static_cast<float>(j * 20.0 / 517.0);
    const float u1 = static_cast<float>((j + 1) * 20.0 / 517.0);
    const float t0 = static_cast<float>(top - i / 27.0);
    const float t1 = static_cast<float>(top - (i + 1) / 27.0);
    const float uv[4][2] = {{u1, t0}, {u1, t1}, {u0, t0}, {u0, t1}};
    return NewSquare(g, 1.8f, 0xFFFFFFFFu, uv);
}

void CreateSquares(GameState& g) {
    for (int i = 0; i < kTileRows; i++)
        for (int j = 0; j < kTileColumns; j++) g.shatterTiles[ShatterTileSlot(j, i)].mesh = NewTile(g, i, j);
    for (ObjectRecord& die : g.fallingDice) die.mesh = NewSquare(g, 1.4f, 0xFFFFFFFFu, kNoPicture);
    for (int k = 0; k < 10; k++) {
        g.shots[k].mesh = NewSquare(g, 1.4f, 0xFFFFFFFFu, kNoPicture);
        g.scorePopups[k].mesh = NewSquare(g, 2.5f, 0xFFFFFFFFu, kWholePicture);
        g.blasts[k].mesh = NewSquare(g, 1.4f, 0xFF00FF00u, kWholePicture);
    }
    g.backdrop.mesh = NewSquare(g, 35.0f, 0xFFFFFFFFu, kWholePicture);
}

// The player's cube of side 3.0: six groups of four corners, one group per side, in the
// order the rolls and the face read-back rely on. Colours and texture coordinates are
// written by the new-game reset.
void CreatePlayerCube(GameState& g) {
    static const int kCorners[6][4][3] = {
        {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}},  // -x
        {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}},      // +y, the top
        {{1, 1, -1}, {1, 1, 1}, {1, -1, 1}, {1, -1, -1}},      // +x
        {{-1, -1, 1}, {-1, -1, -1}, {1, -1, -1}, {1, -1, 1}},  // -y
        {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},      // +z
        {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}},  // -z
    };
    static const float kNormals[6][3] = {{-1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    g.playerDieMesh = std::make_unique<gfx::Mesh>(24, 36);
    gfx::QuadVertex* v = g.playerDieMesh->lockVertices();
    std::uint16_t* index = g.playerDieMesh->lockIndices();
    for (int group = 0; group < 6; group++) {
        for (int c = 0; c < 4; c++) {
            const int* p = kCorners[group][c];
            v[4 * group + c] = {
                1.5f * p[0], 1.5f * p[1], 1.5f * p[2], kNormals[group][0], kNormals[group][1], kNormals[group][2],
                0u,          0.0f,        0.0f};
        }
        const int first = 4 * group;
        const int triangles[6] = {first, first + 1, first + 2, first + 2, first + 3, first};
        for (int n = 0; n < 6; n++) index[6 * group + n] = static_cast<std::uint16_t>(triangles[n]);
    }
    g.playerDieMesh->unlockIndices();
    g.playerDieMesh->unlockVertices();
}

std::unique_ptr<gfx::Texture> LoadTexture(const resources::Catalogue& catalogue, const char* name) {
    auto bytes = catalogue.find("BITMAP", name);
    return bytes ? gfx::CreateTextureFromBitmap(*bytes) : nullptr;
}

// Returns false when BG cannot be made: the board is essential, the others just draw
// untextured when missing.
bool LoadTextures(GameState& g, const resources::Catalogue& catalogue) {
    g.mainTextures[kDiceTexture] = LoadTexture(catalogue, "SAI");
    g.mainTextures[kBoardTexture] = LoadTexture(catalogue, "BG");
    if (!g.mainTextures[kBoardTexture]) {
        g.shell->ShowErrorMessage("null tex", "error");
        return false;
    }
    g.mainTextures[kTitleTexture] = LoadTexture(catalogue, "OPENING");
    g.blastTexture = LoadTexture(catalogue, "BOMBA");
    const char* points[6] = {"S10", "S20", "S30", "S40", "S50", "S60"};
    for (int i = 0; i < 6; i++) g.pointTextures[i] = LoadTexture(catalogue, points[i]);
    return true;
}

// The HUD sheet, 640 x 480 in the back buffer's format so its pixels copy unchanged.
void LoadSpriteSheet(GameState& g, const resources::Catalogue& catalogue) {
    auto bytes = catalogue.find("BITMAP", "EFFECT");
    if (!bytes) return;
    auto sheet = std::make_unique<gfx::Surface>(640, 480, g.device->format());
    if (gfx::LoadSurfaceFromBitmap(*sheet, *bytes)) g.spriteSheet = std::move(sheet);
}

void SetCamera(GameState& g) {
    g.device->setView(gfx::MatrixLookAtLH({0.0f, 50.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}));
    g.device->setProjection(gfx::MatrixPerspectiveFovLH(0.7853982f, 1.3333334f, 1.0f, 100.0f));
}

}  // namespace

void CreateQuadMesh(gfx::Mesh& mesh, const gfx::QuadVertex corners[4]) {
    gfx::QuadVertex* v = mesh.lockVertices();
    for (int c = 0; c < 4; c++) v[c] = corners[c];
    mesh.unlockVertices();
    static const std::uint16_t kIndices[6] = {1, 0, 2, 1, 2, 3};
    std::uint16_t* index = mesh.lockIndices();
    for (int n = 0; n < 6; n++) index[n] = kIndices[n];
    mesh.unlockIndices();
}

bool CreateDeviceObjects(GameState& g, const resources::Catalogue& catalogue) {
    CreateSquares(g);
    CreatePlayerCube(g);
    if (!LoadTextures(g, catalogue)) return false;
    LoadSpriteSheet(g, catalogue);
    ClearColumnGauges(g);
    SetCamera(g);
    return true;
}

}  // namespace vemol
