// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The player's shots, the hit test against the falling dice, and the start of the
// blasts and point pop-ups a hit or a landing leaves behind.
#include "game/dice_faces.h"
#include "game/operations.h"
#include "game/passes.h"

namespace vemol {

void FireShot(GameState& g) {
    ObjectRecord* shot = FindFreeSlot(g.shots);
    if (!shot) return;  // ten shots in the air: nothing fires and the timer stays
    g.player.nextShotTime = g.now() + 0.5f;
    shot->live = 1;
    shot->face = g.player.topFace - 1;
    shot->x = g.player.x;
    shot->y = 4.0f;
    shot->z = g.player.z;
    shot->spin = 0.0f;
    shot->spawnTime = g.now();
    shot->lastMoveTime = g.now();
    WriteDiceTexCoords(*shot->mesh, shot->face);
}

void TestShotHits(GameState& g, ObjectRecord& shot) {
    // Free slots need no test: landed dice are parked at z = -30, arrived dice stay by
    // the score point and unspawned slots sit at the origin, all out of a shot's path.
    for (ObjectRecord& die : g.fallingDice) {
        const float dx = shot.x - die.x;
        const float dz = shot.z - die.z;
        if (!(dx > -0.5f && dx < 0.5f && dz > -0.5f && dz < 0.5f)) continue;
        if (die.collected != 0 || shot.face != die.face) continue;
        g.sound->PlaySoundSegment(Segment::Hit, DMUS_SEGF_SECONDARY);
        shot.live = 0;
        die.collected = 1;
        SpawnBlast(g, shot);
        SpawnScorePopup(g, die);
        // No break: one shot may knock out several overlapping dice of its face.
    }
}

void UpdateShots(GameState& g, const gfx::Matrix& parent) {
    g.device->setTexture(g.mainTextures[kDiceTexture].get());
    for (ObjectRecord& shot : g.shots) {
        if (!shot.live) continue;
        shot.spin = (g.now() - shot.spawnTime) * 8.0f;
        shot.world = gfx::MatrixRotationY(shot.spin);
        shot.world.m[3][0] = shot.x;
        shot.world.m[3][1] = shot.y;
        shot.z = shot.z + (g.now() - shot.lastMoveTime) * 24.0f;
        TestShotHits(g, shot);
        // A shot that has just hit is still drawn this once.
        shot.world.m[3][2] = shot.z;
        DrawWithWorld(g, parent, shot.world, *shot.mesh);
        shot.lastMoveTime = g.now();
        if (shot.z > 30.0f) shot.live = 0;
    }
}

void SpawnBlast(GameState& g, const ObjectRecord& source) {
    ObjectRecord* blast = FindFreeSlot(g.blasts);
    if (!blast) return;
    blast->world = gfx::MatrixIdentity();
    blast->animA = 1.0f;
    blast->animB = 1.0f;
    blast->x = source.x;
    blast->z = source.z;
    blast->live = 1;
}

void SpawnScorePopup(GameState& g, const ObjectRecord& source) {
    ObjectRecord* popup = FindFreeSlot(g.scorePopups);
    if (!popup) return;
    popup->world = gfx::MatrixIdentity();
    popup->animA = -0.5f;  // z velocity: dips toward the player first
    popup->animB = -0.1f;  // x velocity: drifts left throughout
    popup->x = source.x;
    popup->z = source.z;
    popup->face = source.face;
    popup->live = 1;
}

}  // namespace vemol
