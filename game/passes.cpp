// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The backdrop, in play and on the title, and the two blended effect passes: blasts and
// point pop-ups.
#include "game/passes.h"

namespace vemol {

void DrawBackdropInPlay(GameState& g, const gfx::Matrix& parent) {
    ObjectRecord& b = g.backdrop;
    b.world.m[3][0] = b.x;
    b.world.m[3][2] = b.z;
    g.device->setTexture(g.mainTextures[kBoardTexture].get());
    DrawWithWorld(g, parent, b.world, *b.mesh);
}

void DrawBackdropTitle(GameState& g, const gfx::Matrix& parent, int step) {
    ObjectRecord& b = g.backdrop;
    g.device->setTexture(g.mainTextures[kTitleTexture].get());
    if (step == 0) {
        // The title frame has set the rotation to identity; only the place is ours.
        b.world.m[3][0] = 3.0f;
        b.world.m[3][1] = -8.0f;
        b.world.m[3][2] = -10.8f;
    } else {
        // The angle is worked out in double and handed on as a float, as it always was.
        const float angle = static_cast<float>(static_cast<double>(static_cast<float>(step)) * -0.03);
        b.world = gfx::MatrixRotationX(angle);
        b.world.m[3][0] = 3.0f;
        b.world.m[3][1] = static_cast<float>(step - 8) * 0.5f;
        b.world.m[3][2] = -10.8f;
    }
    DrawWithWorld(g, parent, b.world, *b.mesh);
}

void DrawBlasts(GameState& g, const gfx::Matrix& parent) {
    for (ObjectRecord& blast : g.blasts) {
        if (blast.live != 1) continue;
        blast.animA = blast.animA + 0.2f;
        blast.animB = blast.animB + 0.1f;
        blast.world.m[0][0] = blast.animA;
        blast.world.m[2][2] = blast.animB;
        blast.world.m[3][0] = blast.x;
        blast.world.m[3][2] = blast.z;
        // Additive: the green ring adds light to whatever lies beneath.
        g.device->setBlendEnable(true);
        g.device->setDestBlend(gfx::Blend::One);
        g.device->setSrcBlend(gfx::Blend::SrcAlpha);
        g.device->setTexture(g.blastTexture.get());
        DrawWithWorld(g, parent, blast.world, *blast.mesh);
        g.device->setBlendEnable(false);
        if (blast.animB > 2.0f) blast.live = 0;  // on its tenth frame
    }
}

void DrawScorePopups(GameState& g, const gfx::Matrix& parent) {
    for (ObjectRecord& popup : g.scorePopups) {
        if (popup.live != 1) continue;
        popup.animA = popup.animA + 0.03f;
        popup.z = popup.z + popup.animA;
        popup.x = popup.x + popup.animB;
        popup.world.m[3][0] = popup.x;
        popup.world.m[3][2] = popup.z;
        const gfx::Texture* points = g.pointTextures[popup.face].get();
        // Two draws make a screen blend: screen x (1 - t), then + t. The black
        // background of the picture leaves the scene untouched.
        g.device->setBlendEnable(true);
        g.device->setDestBlend(gfx::Blend::InvSrcColor);
        g.device->setSrcBlend(gfx::Blend::Zero);
        g.device->setTexture(points);
        DrawWithWorld(g, parent, popup.world, *popup.mesh);
        g.device->setDestBlend(gfx::Blend::One);
        g.device->setSrcBlend(gfx::Blend::One);
        g.device->setTexture(points);
        DrawWithWorld(g, parent, popup.world, *popup.mesh);
        g.device->setBlendEnable(false);
        if (popup.z > 25.0f) popup.live = 0;
    }
}

}  // namespace vemol
