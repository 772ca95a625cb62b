// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The dice that come down the board: spawning, sliding, landing, and the homing flight
// of a die knocked out by a shot.
#include <cmath>

#include "game/dice_faces.h"
#include "game/operations.h"
#include "game/passes.h"

namespace vemol {

const float kDiceTexCoords[6][4][2] = {
    {{0.25f, 0.25f}, {0.25f, 0.0f}, {0.0f, 0.25f}, {0.0f, 0.0f}},
    {{0.5f, 0.25f}, {0.5f, 0.0f}, {0.25f, 0.25f}, {0.25f, 0.0f}},
    {{0.75f, 0.25f}, {0.75f, 0.0f}, {0.5f, 0.25f}, {0.5f, 0.0f}},
    {{1.0f, 0.25f}, {1.0f, 0.0f}, {0.75f, 0.25f}, {0.75f, 0.0f}},
    {{0.25f, 0.5f}, {0.25f, 0.25f}, {0.0f, 0.5f}, {0.0f, 0.25f}},
    {{0.5f, 0.5f}, {0.5f, 0.25f}, {0.25f, 0.5f}, {0.25f, 0.25f}},
};

void WriteDiceTexCoords(gfx::Mesh& mesh, int face) {
    if (mesh.vertexCount() < 4) return;
    gfx::QuadVertex* v = mesh.lockVertices();
    for (int corner = 0; corner < 4; ++corner) {
        v[corner].u = kDiceTexCoords[face][corner][0];
        v[corner].v = kDiceTexCoords[face][corner][1];
    }
    mesh.unlockVertices();
}

void SpawnFallingDie(GameState& g, ObjectRecord& slot) {
    slot.live = 1;
    slot.face = g.random.rand() % 6;
    slot.column = g.random.rand() % 12;
    slot.z = 25.0f;
    slot.spin = 0.0f;
    slot.x = 3.46f * static_cast<float>(slot.column) - 22.7f;
    slot.heading = 4.71f;  // straight toward the player
    slot.speed = 0.02f;
    slot.lastMoveTime = g.now();
    WriteDiceTexCoords(*slot.mesh, slot.face);
}

namespace {

// The direction from the die to the score point (20.0, -5.0), in 0..6.28.
float BearingToScorePoint(float dx, float dz) {
    if (dx == 0.0f) dx = 0.0001f;
    float t = std::atan(dz / dx);
    if (dx < 0.0f)
        t = t + 3.14f;
    else if (t < 0.0f)
        t = t + 6.28f;
    return t;
}

// Turns the heading one step of 0.0942 toward the bearing, the short way round.
float TurnToward(float h, float t) {
    bool increase;
    if (t > h)
        increase = t - h < 3.14f;
    else
        increase = !(h - t < 3.14f);
    if (increase) {
        h = h + 0.0942f;
        if (h > 6.28f) h = h - 6.28f;
    } else {
        h = h - 0.0942f;
        if (h < 0.0f) h = h + 6.28f;
    }
    return h;
}

void LandDie(GameState& g, ObjectRecord& die) {
    SpawnBlast(g, die);
    die.live = 0;
    die.z = -30.0f;  // parked out of every shot's reach
    die.spawnTime = die.lastMoveTime + 10.0f;
    AddToColumnGauge(g, die.column, die.face);
}

void SlideDie(GameState& g, ObjectRecord& die) {
    die.world.m[3][0] = die.x;
    die.z = die.z - (g.now() - die.lastMoveTime) * 3.0f;
    die.world.m[3][2] = die.z;
    die.lastMoveTime = g.now();
    if (die.z < -15.0f) LandDie(g, die);
}

}  // namespace

void FlyCollectedDie(GameState& g, ObjectRecord& die) {
    float dx = 20.0f - die.x;
    const float dz = -5.0f - die.z;
    const float dist = std::sqrt(dx * dx + dz * dz);
    const float bearing = BearingToScorePoint(dx, dz);
    die.heading = TurnToward(die.heading, bearing);
    die.x = die.x + std::cos(die.heading) * die.speed;
    die.z = die.z + std::sin(die.heading) * die.speed;
    die.speed = die.speed + 0.1f;

    if (dist < 2.0f || die.x > 22.0f) {
        g.sound->PlaySoundSegment(Segment::Hit, DMUS_SEGF_SECONDARY);
        die.live = 0;
        die.collected = 0;
        die.spawnTime = g.now() + 30.0f;
        g.score = g.score + 10 * (die.face + 1);
    }
}

void UpdateFallingDice(GameState& g, const gfx::Matrix& parent) {
    for (ObjectRecord& die : g.fallingDice)
        if (die.spawnTime - g.now() < 0.0f && die.live == 0) SpawnFallingDie(g, die);

    g.device->setTexture(g.mainTextures[kDiceTexture].get());
    for (ObjectRecord& die : g.fallingDice) {
        if (!die.live) continue;
        die.spin = (g.now() - die.spawnTime) * 4.0f;
        die.world = gfx::MatrixRotationY(die.spin);
        if (die.collected) {
            FlyCollectedDie(g, die);
            die.world.m[3][0] = die.x;
            die.world.m[3][1] = 0.0f;
            die.world.m[3][2] = die.z;
        } else {
            SlideDie(g, die);
        }
        // A die that landed or arrived this frame is still drawn once, where it was.
        DrawWithWorld(g, parent, die.world, *die.mesh);
    }
}

}  // namespace vemol
