// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The player's die: rolling over the 12 x 2 cells at the near end of the board, the
// faces turning with every roll, and the shot key.
#include "game/dice_faces.h"
#include "game/operations.h"
#include "game/passes.h"

namespace vemol {

const int kPlayerDieResetFaces[6] = {5, 1, 2, 6, 4, 3};

// Corners 0..3 of each group get (u, v), (u + 0.25, v), (u + 0.25, v + 0.25),
// (u, v + 0.25) of the SAI cell of the group's face.
const float kPlayerDieTexCoords[24][2] = {
    {0.0f, 0.25f},  {0.25f, 0.25f}, {0.25f, 0.5f},  {0.0f, 0.5f},    // -x: 5
    {0.0f, 0.0f},   {0.25f, 0.0f},  {0.25f, 0.25f}, {0.0f, 0.25f},   // +y: 1
    {0.25f, 0.0f},  {0.5f, 0.0f},   {0.5f, 0.25f},  {0.25f, 0.25f},  // +x: 2
    {0.25f, 0.25f}, {0.5f, 0.25f},  {0.5f, 0.5f},   {0.25f, 0.5f},   // -y: 6
    {0.75f, 0.0f},  {1.0f, 0.0f},   {1.0f, 0.25f},  {0.75f, 0.25f},  // +z: 4
    {0.5f, 0.0f},   {0.75f, 0.0f},  {0.75f, 0.25f}, {0.5f, 0.25f},   // -z: 3
};

namespace {

// For each vertex n, the old vertex whose colour and texture coordinates it takes.
// The faces turn as on a real die tipped over the edge it moves toward; the two faces
// on the rolling axis keep their pictures but turn a quarter.
constexpr int kRollTowardMinusX[24] = {4, 5, 6, 7, 8,  9,  10, 11, 14, 15, 12, 13,
                                       2, 3, 0, 1, 19, 16, 17, 18, 21, 22, 23, 20};
constexpr int kRollTowardPlusX[24] = {14, 15, 12, 13, 0,  1,  2,  3,  4,  5,  6,  7,
                                      10, 11, 8,  9,  17, 18, 19, 16, 23, 20, 21, 22};
constexpr int kRollTowardMinusZ[24] = {3,  0,  1,  2,  19, 16, 17, 18, 9, 10, 11, 8,
                                       20, 21, 22, 23, 13, 14, 15, 12, 4, 5,  6,  7};
constexpr int kRollTowardPlusZ[24] = {1,  2,  3,  0,  20, 21, 22, 23, 11, 8,  9,  10,
                                      19, 16, 17, 18, 5,  6,  7,  4,  12, 13, 14, 15};

constexpr float kRollTime = 0.157f;
constexpr float kCellStep = 3.45f;

void PermuteFaces(GameState& g, const int (&from)[24]) {
    if (g.playerDieMesh->vertexCount() < 24) return;
    gfx::QuadVertex* v = g.playerDieMesh->lockVertices();
    gfx::QuadVertex old[24];
    for (int n = 0; n < 24; ++n) old[n] = v[n];
    for (int n = 0; n < 24; ++n) {
        v[n].diffuse = old[from[n]].diffuse;
        v[n].u = old[from[n]].u;
        v[n].v = old[from[n]].v;
    }
    // The number on top is whatever the first corner of the +y group now carries.
    g.player.topFace = static_cast<std::int32_t>((v[4].diffuse >> 24) & 0xFu);
    g.playerDieMesh->unlockVertices();
}

// Starts a roll on the first arrow key that is down and not at its bound.
void ReadRollKeys(GameState& g) {
    PlayerDie& p = g.player;
    if (g.keys->query(Key::Left).down && p.x > -22.0f)
        p.rollDir = 1;
    else if (g.keys->query(Key::Right).down && p.x < 12.0f)
        p.rollDir = 2;
    else if (g.keys->query(Key::Down).down && p.z > -18.0f)
        p.rollDir = 3;
    else if (g.keys->query(Key::Up).down && p.z < -16.0f)
        p.rollDir = 4;
    else
        return;
    p.rollStart = g.now();
}

// The space bar is asked only once the shot timer has run out and no roll runs, so a
// tap made meanwhile is still latched when it is finally asked.
bool ShotKeyFires(GameState& g) {
    if (!(g.player.nextShotTime - g.now() < 0.0f) || g.player.rollDir != 0) return false;
    const KeyState space = g.keys->query(Key::Space);
    return space.down || space.pressedSinceLastQuery;
}

// Slides and turns the die during a roll; completes the roll once its time is up.
// Returns the displayed position in x and z.
void StepRoll(GameState& g, float e, float& shownX, float& shownZ) {
    PlayerDie& p = g.player;
    const bool rolling = e <= kRollTime;
    if (p.rollDir == 0) return;
    if (rolling) {
        switch (p.rollDir) {
            case 1:
                shownX = p.x - 20.0f * e;
                p.world = gfx::MatrixRotationZ(10.0f * e);
                break;
            case 2:
                shownX = p.x + 20.0f * e;
                p.world = gfx::MatrixRotationZ(-10.0f * e);
                break;
            case 3:
                shownZ = p.z - 20.0f * e;
                p.world = gfx::MatrixRotationX(-10.0f * e);
                break;
            case 4:
                shownZ = p.z + 20.0f * e;
                p.world = gfx::MatrixRotationX(10.0f * e);
                break;
        }
        return;
    }
    g.sound->PlaySoundSegment(Segment::Select, DMUS_SEGF_SECONDARY);
    switch (p.rollDir) {
        case 1: p.x = p.x - kCellStep; break;
        case 2: p.x = p.x + kCellStep; break;
        case 3: p.z = p.z - kCellStep; break;
        case 4: p.z = p.z + kCellStep; break;
    }
    p.world = gfx::MatrixIdentity();
    shownX = p.x;
    shownZ = p.z;
    switch (p.rollDir) {
        case 1: RollDieX(g, +1); break;
        case 2: RollDieX(g, -1); break;
        case 3: RollDieZ(g, +1); break;
        case 4: RollDieZ(g, -1); break;
    }
}

}  // namespace

void RollDieX(GameState& g, int direction) { PermuteFaces(g, direction > 0 ? kRollTowardMinusX : kRollTowardPlusX); }

void RollDieZ(GameState& g, int direction) { PermuteFaces(g, direction > 0 ? kRollTowardMinusZ : kRollTowardPlusZ); }

void UpdatePlayer(GameState& g) {
    const gfx::Matrix identity = gfx::MatrixIdentity();
    PlayerDie& p = g.player;

    g.device->setWorld(identity);
    DrawBackdropInPlay(g, identity);
    DrawHud(g);

    if (p.rollDir == 0) ReadRollKeys(g);
    if (ShotKeyFires(g)) FireShot(g);
    p.frameTime = g.now();
    UpdateShots(g, identity);

    const float e = p.frameTime - p.rollStart;
    float shownX = p.x;
    float shownZ = p.z;
    StepRoll(g, e, shownX, shownZ);
    if (e > kRollTime) p.rollDir = 0;

    p.world.m[3][0] = shownX;
    p.world.m[3][1] = 2.0f;
    p.world.m[3][2] = shownZ;
    g.device->setWorld(gfx::MatrixMultiply(identity, p.world));
}

}  // namespace vemol
