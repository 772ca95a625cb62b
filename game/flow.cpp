// The per-frame state machine: title frames with the three-entry menu, the start of a new
// game with its transition, play frames, the end countdown and the game-over frames.
#include <ctime>

#include "game/operations.h"
#include "render/passes.h"

namespace vemol {

std::int64_t Clock::calendarSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

namespace {

constexpr int kMenuStart = 0, kMenuSend = 1, kMenuExit = 2;
constexpr int kMenuKeyDelay = 7;
constexpr int kTransitionFrames = 50;
constexpr float kGameOverPause = 0.7f;

const gfx::Matrix kIdentity = gfx::matrixIdentity();

void ActOnMenuSelection(GameState& g) {
    g.random.srand(static_cast<std::uint32_t>(g.clock->calendarSeconds()));
    switch (g.menuSelection) {
        case kMenuSend: g.shell->OpenSendScoreDialog(); break;
        case kMenuExit: g.shell->ShutdownAudioAndQuit(); break;
        default: StartNewGame(g); break;
    }
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

// Holds the first game-over frame; the window may repaint meanwhile but no input is read.
void WaitGameOverPause(GameState& g) {
    const float start = g.now();
    while (g.now() - start < kGameOverPause) g.clock->sleep(0.005f);
    g.endPause = 0;
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

void RunGameOverBranch(GameState& g) {
    if (g.endPause == 1) WaitGameOverPause(g);
    DrawBackdropTitle(g, kIdentity, 0);
    UpdateGameEnd(g, kIdentity);
}

}  // namespace

void RunTitleFrame(GameState& g) {
    if (g.keys->isDown(Key::Return)) {
        ActOnMenuSelection(g);
        return;
    }
    g.endPause = 0;
    g.shell->SetRankingCommandsEnabled(true);
    g.backdrop.world = gfx::matrixIdentity();
    ClearFrame(g);
    ReadMenuKeys(g);
    g.device->beginScene();
    DrawBackdropTitle(g, kIdentity, 0);
    DrawHud(g);
    PresentFrame(g);
}

void StartNewGame(GameState& g) {
    g.shell->SetRankingCommandsEnabled(false);
    ResetWorld(g);
    g.sound->PlaySoundSegment(Segment::Start, DMUS_SEGF_SECONDARY);
    // The title picture tips away; these frames run back to back, reading no input.
    for (int step = 0; step < kTransitionFrames; step++) {
        ClearFrame(g);
        g.device->beginScene();
        DrawBackdropTitle(g, kIdentity, step);
        PresentFrame(g);
    }
    g.sound->StartMusic();
    PlaceBackdropForPlay(g);
}

void RunPlayFrame(GameState& g) {
    ClearFrame(g);
    g.device->beginScene();
    if (g.endCountdown != 0) RunPlayBranch(g);
    if (g.endCountdown == 0) RunGameOverBranch(g);
    PresentFrame(g);
}

}  // namespace vemol
