// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program itself: the start-up steps in their order, the menu commands, and the shell
// services the game asks for, wired to the GTK platform layer.
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "app/game_files.h"
#include "app/replay_viewing.h"
#include "app/startup.h"
#include "audio/audio_engine.h"
#include "game/state.h"
#include "net/ranking_state.h"
#include "platform/gamepads.h"
#include "platform/gtk_clock.h"
#include "platform/gtk_loop_events.h"
#include "platform/key_table.h"
#include "platform/main_window.h"
#include "platform/test_control.h"
#include "replay/replay.h"

namespace vemol::app {

class Application : public StartupSteps, public Shell {
public:
    // `replayToShow`, when given, plays back in the window before the title.
    Application(const net::RankingServer& rankingServer, std::optional<replay::Replay> replayToShow);
    ~Application() override;

    // Start-up steps.
    void CreateMainWindow() override;
    void ReadBestScore() override;
    bool InitDevice() override;
    void ShowMainWindow() override;
    void StartAudio() override;
    void PlayOpeningMovie() override;
    bool CreateDeviceObjects() override;
    void RunMainLoop() override;
    void FinalCleanUp() override;

    // What the game asks of the shell.
    void SetRankingCommandsEnabled(bool enabled) override;
    void ShutdownAudioAndQuit() override;
    void ShowErrorMessage(const char* text, const char* caption) override;

private:
    void onCommand(int command);
    void runCommand(int command);
    void runWaitingCommands();
    void openSendScoreDialog();
    void openVersionDialog();
    void openWebPage();
    void shutdownAudio();
    float runFrame();
    void onGameEnded(std::int32_t bestBefore, std::int32_t sessionBestBefore);  // after the frame that ended a game
    void takeSaveFailures();                                                    // after every frame
    void tellBestScoreNotKept();
    bool waitUnderWay() const;  // the opening, a replay, the transition or the pause
    void beginReplay();
    void endReplay();
    platform::MainWindow* owner() const { return window_.get(); }

    GameState g_;
    // What the Send Score dialog and the Score menu's web pages keep for the run.
    net::RankingState ranking_;
    std::int32_t openHomePage_ = 0;
    platform::KeyTable keys_;
    platform::GtkClock clock_;
    // Every game played is recorded through the real clock and keys.
    replay::Recorder recorder_{clock_, keys_};
    std::optional<replay::Replay> replayToShow_;
    std::unique_ptr<ReplayViewing> viewing_;  // while a replay plays back
    bool replayStopAsked_ = false;            // Home or Escape during a playback
    std::unique_ptr<AudioEngine> audio_;
    std::unique_ptr<platform::MainWindow> window_;
    std::unique_ptr<platform::GtkLoopEvents> events_;
    std::unique_ptr<platform::Gamepads> pads_;
    std::unique_ptr<platform::TestControl> testControl_;
    // Why a best score raised in this run is not kept: the save's failure, or why the
    // file could not be read at start (then it is never saved over). Told once a run.
    std::string bestScoreProblem_;
    std::string unreadableProblem_;
    bool bestScoreNotKeptTold_ = false;
    bool openingUnderWay_ = false;
    std::deque<int> waitingCommands_;  // menu choices made during a wait, in order
    // Last: destroyed first, so the saves still pending finish while the rest exists.
    GameFiles files_{g_.bestScorePath};
};

}  // namespace vemol::app
