// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The new-game reset of the world and the backdrop's place during play.
#include "game/dice_faces.h"
#include "game/operations.h"

namespace vemol {

namespace {

// The player's cube gets its faces back: numbers 5, 1, 2, 6, 4, 3 on the groups
// facing -x, +y, +x, -y, +z, -z, so 1 is on top and 6 underneath.
void ResetPlayerDieFaces(GameState& g) {
    if (g.playerDieMesh->vertexCount() < 24) return;
    gfx::QuadVertex* v = g.playerDieMesh->lockVertices();
    for (int group = 0; group < 6; ++group) {
        const std::uint32_t face = static_cast<std::uint32_t>(kPlayerDieResetFaces[group]);
        for (int corner = 0; corner < 4; ++corner) {
            gfx::QuadVertex& vertex = v[4 * group + corner];
            vertex.diffuse = (face << 24) | 0xFFFFFFu;
            vertex.u = kPlayerDieTexCoords[4 * group + corner][0];
            vertex.v = kPlayerDieTexCoords[4 * group + corner][1];
        }
    }
    g.playerDieMesh->unlockVertices();
}

void ResetFallingDice(GameState& g) {
    for (int i = 0; i < static_cast<int>(g.fallingDice.size()); ++i) {
        ObjectRecord& die = g.fallingDice[i];
        die.x = die.y = die.z = die.spin = 0.0f;
        die.world = gfx::MatrixIdentity();
        die.live = 0;
        die.collected = 0;
        // One more slot joins every five seconds; slot 0 comes on the first play frame.
        die.spawnTime = g.now() + 5.0f * static_cast<float>(i);
    }
}

}  // namespace

void PlaceBackdropForPlay(GameState& g) {
    g.backdrop.world = gfx::MatrixIdentity();
    g.backdrop.x = 7.0f;
    g.backdrop.y = 0.0f;
    g.backdrop.z = -14.0f;
}

void ResetWorld(GameState& g) {
    ResetPlayerDieFaces(g);
    ResetFallingDice(g);
    for (ObjectRecord& shot : g.shots) {
        shot.x = shot.y = shot.z = shot.spin = 0.0f;
        shot.world = gfx::MatrixIdentity();
        shot.live = 0;
    }

    PlayerDie& p = g.player;
    p.world = gfx::MatrixIdentity();
    p.x = -1.85f;
    p.y = 0.0f;
    p.z = -15.3f;
    p.topFace = 1;
    // Deliberate difference: roll-stopped.
    // A roll still running when the last game ended would otherwise complete on the
    // first frame of this one, moving the die off its start cell and turning 1 away
    // from the top. The original left rollDir alone; we stop the roll here.
    p.rollDir = 0;

    ClearColumnGauges(g);
    for (ObjectRecord& blast : g.blasts) blast.live = 0;
    for (ObjectRecord& popup : g.scorePopups) popup.live = 0;

    g.score = 0;
    g.playing = 1;
    // The transition frames tip the backdrop about; the flow places it again for play
    // once they are over.
    PlaceBackdropForPlay(g);
}

}  // namespace vemol
