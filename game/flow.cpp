// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The per-frame state machine: title frames with the three-entry menu, the start of a new
// game with its transition, play frames, the end countdown and the game-over frames.
#include <algorithm>
#include <ctime>

#include "game/operations.h"
#include "game/passes.h"

namespace vemol {

std::int64_t Clock::calendarSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

namespace {

constexpr int kMenuStart = 0, kMenuSend = 1, kMenuExit = 2;
constexpr int kMenuKeyDelay = 7;
constexpr int kTransitionFrames = 50;
constexpr float kGameOverPause = 0.7f;

const gfx::Matrix kIdentity = gfx::MatrixIdentity();

// The pause never ends sooner than a millisecond after it is looked at, so float
// rounding near its end never turns the wait into a spin.
constexpr float kShortestIdle = 0.001f;

FrameOutcome ActOnMenuSelection(GameState& g) {
    const auto seed = static_cast<std::uint32_t>(g.clock->calendarSeconds());
    g.random.srand(seed);
    switch (g.menuSelection) {
        case kMenuSend: return {.openSendScore = true};
        case kMenuExit: g.shell->ShutdownAudioAndQuit(); break;
        default: StartSeededGame(g, seed); break;
    }
    return {};
}

// Up wins over Down; either starts the delay even when the selection cannot move.
void ReadMenuKeys(GameState& g) {
    if (g.menuKeyDelay > 0) {
        g.menuKeyDelay--;
        return;
    }
    int move = 0;
    if (g.keys->isDown(Key::Up))
        move = -1;
    else if (g.keys->isDown(Key::Down))
        move = 1;
    if (move == 0) return;
    g.menuKeyDelay = kMenuKeyDelay;
    const int selection = g.menuSelection + move;
    if (selection < kMenuStart || selection > kMenuExit) return;
    g.menuSelection = selection;
    g.sound->PlaySoundSegment(Segment::Move, DMUS_SEGF_SECONDARY);
}

void RunPlayBranch(GameState& g) {
    UpdatePlayer(g);
    g.device->setTexture(g.mainTextures[kDiceTexture].get());
    g.device->drawMesh(*g.playerDieMesh);
    UpdateFallingDice(g, kIdentity);
    DrawBlasts(g, kIdentity);
    DrawScorePopups(g, kIdentity);
    if (g.endCountdown > 0) {
        g.endCountdown--;
    } else if (g.endCountdown == -1 && g.keys->isDown(Key::Home)) {
        // The player gives up: ten more play frames, no pause.
        g.endCountdown = 10;
        BeginGameEnd(g);
    }
}

// One of the frames in which the title picture tips away: back to back at the frame
// rate, reading no input. After the last the tune starts and the board takes its place.
void RunTransitionFrame(GameState& g) {
    ClearFrame(g);
    g.device->beginScene();
    DrawBackdropTitle(g, kIdentity, g.transitionStep);
    PresentFrame(g);
    if (++g.transitionStep < kTransitionFrames) return;
    g.transitionStep = kNoTransition;
    g.sound->StartMusic();
    PlaceBackdropForPlay(g);
}

// The pause before the game-over frames, reading no input. The frame that meets it keeps
// what it has drawn so far, unpresented, and goes on once 0.7 s have passed; until then it
// tells the loop how long is left, and the window keeps showing the frame before.
float GameOverPauseLeft(GameState& g) {
    if (!g.pausing) {
        g.pausing = true;
        g.pauseStart = g.now();
    }
    const float left = kGameOverPause - (g.now() - g.pauseStart);
    if (left > 0.0f) return std::max(left, kShortestIdle);
    g.pausing = false;
    g.endPause = 0;
    return 0.0f;
}

}  // namespace

FrameOutcome RunTitleFrame(GameState& g) {
    if (g.keys->isDown(Key::Return)) return ActOnMenuSelection(g);
    g.endPause = 0;
    g.shell->SetRankingCommandsEnabled(true);
    g.backdrop.world = gfx::MatrixIdentity();
    ClearFrame(g);
    ReadMenuKeys(g);
    g.device->beginScene();
    DrawBackdropTitle(g, kIdentity, 0);
    DrawHud(g);
    PresentFrame(g);
    return {};
}

void StartNewGame(GameState& g) {
    g.shell->SetRankingCommandsEnabled(false);
    ResetWorld(g);
    g.sound->PlaySoundSegment(Segment::Start, DMUS_SEGF_SECONDARY);
    g.transitionStep = 0;
}

FrameOutcome RunPlayFrame(GameState& g) {
    if (!g.pausing) {
        ClearFrame(g);
        g.device->beginScene();
        if (g.endCountdown != 0) RunPlayBranch(g);
    }
    if (g.endCountdown == 0) {
        if (g.endPause == 1) {
            const float left = GameOverPauseLeft(g);
            if (left > 0.0f) return {.idleSeconds = left};
        }
        DrawBackdropTitle(g, kIdentity, 0);
        UpdateGameEnd(g, kIdentity);
    }
    PresentFrame(g);
    return {};
}

void StartSeededGame(GameState& g, std::uint32_t seed) {
    g.random.srand(seed);
    if (g.recorder) g.recorder->gameStarting(seed, g.bestScore);
    StartNewGame(g);
}

FrameOutcome RunFrame(GameState& g) {
    if (g.recorder) g.recorder->frameStarting();
    if (g.transitionStep != kNoTransition) {
        RunTransitionFrame(g);
        return {};
    }
    return g.playing != 0 ? RunPlayFrame(g) : RunTitleFrame(g);
}

bool WaitUnderWay(const GameState& g) { return g.transitionStep != kNoTransition || g.pausing; }

}  // namespace vemol
