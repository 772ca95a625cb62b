// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program: its start-up steps, menu commands and shell services over the platform layer.
#include "app/application.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string_view>

#include "app/main_loop.h"
#include "app/opening_movie.h"
#include "game/best_score_file.h"
#include "game/device_objects.h"
#include "game/init_device.h"
#include "game/operations.h"
#include "net/texts.h"
#include "platform/heap.h"
#include "platform/message_box.h"
#include "platform/sdl_mixer.h"
#include "platform/send_score_dialog.h"
#include "platform/version_dialog.h"
#include "resources/ui_templates.h"

namespace vemol::app {
namespace {

class WindowMovieScreen : public MovieScreen {
public:
    explicit WindowMovieScreen(platform::MainWindow& window) : window_(window) {}
    void showMovieFrame(const std::uint32_t* pixels, int width, int height, int x, int y) override {
        window_.showMovieFrame(pixels, width, height, x, y);
    }
    void clearMovieArea() override { window_.clearMovieArea(); }

private:
    platform::MainWindow& window_;
};

#if defined(VEMOL_TEST_HOOKS)
// Test hook of builds made for the tests: with VEMOL_TEST_FULL_COLUMN=1 every new game
// starts with the first column's gauge claimed to its top, cell after cell, so the
// end-to-end runs meet a game lost by a full column three seconds into play, with the
// first die already sliding down the board.
void ApplyNewGameTestHooks(GameState& g) {
    const char* fullColumn = std::getenv("VEMOL_TEST_FULL_COLUMN");
    if (!fullColumn || std::string_view(fullColumn) != "1") return;
    for (int cell = 0; cell < kGaugeCells; ++cell) g.columnGauge[0][cell] = 180 - 10 * cell;
}
#endif

}  // namespace

Application::Application(const net::RankingServer& rankingServer, std::optional<replay::Replay> replayToShow)
    : replayToShow_(std::move(replayToShow)),
      audio_(std::make_unique<AudioEngine>(platform::MakeSdlMixerDevice(), std::cerr)) {
    g_.clock = &recorder_.clock();
    g_.keys = &recorder_.keyboard();
    g_.recorder = &recorder_;
    g_.sound = audio_.get();
    g_.shell = this;
    ranking_.server = rankingServer;
}

Application::~Application() = default;

void Application::CreateMainWindow() {
    window_ = std::make_unique<platform::MainWindow>(
        keys_,
        platform::MainWindow::Handlers{[this](int command) { onCommand(command); },
                                       [this] {
                                           shutdownAudio();
                                           events_->postQuit();
                                       },
                                       [this] { replayStopAsked_ = viewing_ != nullptr; }},
        resources::Catalogue::embedded(), kBackBufferWidth, kBackBufferHeight);
    events_ = std::make_unique<platform::GtkLoopEvents>([this] { return window_->menuOpen(); });
    pads_ = std::make_unique<platform::Gamepads>(keys_, [this] { return window_ && window_->hasFocus(); });
    testControl_ = platform::StartTestControl(*window_);
}

void Application::ReadBestScore() {
    const BestScoreReading reading = ReadBestScoreFile(g_.bestScorePath);
    g_.bestScore = reading.score;
    g_.bestScoreKeepable = reading.keepable;
    if (!reading.keepable) unreadableProblem_ = reading.problem;
}

bool Application::InitDevice() {
    return InitDirect3D(g_, [] { return std::make_unique<gfx::Device>(kBackBufferWidth, kBackBufferHeight); });
}

void Application::ShowMainWindow() {
    g_.device->setPresentHandler(
        [this](const gfx::Surface& frame, const gfx::ChangedRows& written) { window_->present(frame, written); });
    window_->show();
}

void Application::StartAudio() {
    if (audio_->CreateAudioEngine()) audio_->LoadSounds(resources::Catalogue::embedded());
}

// The opening runs on the main loop's turns, so the window answers the desktop meanwhile.
// A player who asked to watch a replay goes straight to it.
void Application::PlayOpeningMovie() {
    if (replayToShow_) return;
    WindowMovieScreen screen(*window_);
    auto clip = resources::Catalogue::embedded().find("AVI", resources::kMovieId);
    OpeningMovie movie(clock_, screen, clip ? *clip : resources::Bytes{});
    openingUnderWay_ = true;
    vemol::RunMainLoop(*events_, [&movie] { return movie.advance(); });
    openingUnderWay_ = false;
    runWaitingCommands();
}

bool Application::CreateDeviceObjects() { return vemol::CreateDeviceObjects(g_, resources::Catalogue::embedded()); }

// Each frame, then what its outcome asks for, then the menu choices that waited for the
// transition or the pause to end. A replay asked for on the command line plays first.
void Application::RunMainLoop() {
    if (replayToShow_) beginReplay();
    vemol::RunMainLoop(*events_, [this] { return runFrame(); });
}

float Application::runFrame() {
    if (viewing_) {
        if (replayStopAsked_ || keys_.query(Key::Home).pressedSinceLastQuery) endReplay();
        // The loop's idle time paces a playback: the frame runs once it is due.
        else if (const float wait = viewing_->secondsUntilNextFrame(); wait > 0.0f)
            return wait;
    }
    const bool wasPlaying = g_.playing != 0;
    const std::int32_t bestBefore = g_.bestScore, sessionBestBefore = g_.sessionBestScore;
    const FrameOutcome outcome = RunFrame(g_);
    if (viewing_) {
        if (viewing_->finished()) endReplay();
        return 0.0f;
    }
    if (wasPlaying && g_.playing == 0) onGameEnded(bestBefore, sessionBestBefore);
    takeSaveFailures();
#if defined(VEMOL_TEST_HOOKS)
    if (!wasPlaying && g_.playing != 0) ApplyNewGameTestHooks(g_);
#endif
    if (outcome.openSendScore) openSendScoreDialog();
    runWaitingCommands();
    return outcome.idleSeconds;
}

// The recorded game plays with the replay's clock and keys; the player's keys only stop
// it, and the menus wait as in the game's other waits.
void Application::beginReplay() {
    viewing_ = std::make_unique<ReplayViewing>(*replayToShow_, clock_);
    replayToShow_.reset();
    keys_.clear();
    replayStopAsked_ = false;
    window_->showReplayInTitle(true);
    viewing_->begin(g_);
}

// Back to the title, ready to play, with nothing of the playback kept: no file written,
// the best scores as they were.
void Application::endReplay() {
    if (!viewing_->problem().empty()) std::fprintf(stderr, "vemol: %s\n", viewing_->problem().c_str());
    viewing_->end(g_);
    viewing_.reset();
    keys_.clear();
    window_->showReplayInTitle(false);
    platform::ReturnFreedMemory();
    runWaitingCommands();
}

// The game's files are saved by the writer thread. A raised best score counts for this
// run even if it cannot be saved; a file that could not be read at start-up is never
// saved over (that was said then), and the player hears of it now.
void Application::onGameEnded(std::int32_t bestBefore, std::int32_t sessionBestBefore) {
    platform::ReturnFreedMemory();
    const std::optional<replay::Bytes> replay = recorder_.takeFinishedGame();
    // Send Score sends the run's best score, so it holds the replay of a game that reached
    // it: the latest of games that tie, none when the game that raised it left none.
    if (g_.sessionBestScore > sessionBestBefore || (replay && g_.score == g_.sessionBestScore))
        ranking_.sessionBestReplay = replay ? std::make_shared<const replay::Bytes>(*replay) : nullptr;
    const bool raised = g_.bestScore > bestBefore;
    files_.gameEnded(raised && g_.bestScoreKeepable ? std::optional(g_.bestScore) : std::nullopt, replay);
    if (!raised || g_.bestScoreKeepable) return;
    if (bestScoreProblem_.empty()) bestScoreProblem_ = unreadableProblem_;
    if (!bestScoreNotKeptTold_) tellBestScoreNotKept();
}

// The writer's failures come back here, on the main loop; a best score not saved is told
// once a run, after standard error has had the details.
void Application::takeSaveFailures() {
    for (const SaveFailure& failure : files_.takeFailures()) {
        if (failure.path != files_.bestScorePath() || bestScoreNotKeptTold_) continue;
        bestScoreProblem_ = failure.problem;
        tellBestScoreNotKept();
    }
}

// Deliberate difference: best-score-message-box.
// A desktop player never sees standard error: the best score shown on screen would be a
// promise the file does not keep.
void Application::tellBestScoreNotKept() {
    bestScoreNotKeptTold_ = true;
    std::error_code error;
    const std::filesystem::path file = std::filesystem::absolute(g_.bestScorePath, error);
    const std::string folder = error ? std::string(".") : file.parent_path().string();
    const std::string text =
        g_.bestScoreKeepable ? net::TranslatedWith(
                                   "Your best score could not be saved in the folder %s (%s). It counts until you "
                                   "quit the game, but it will be gone next time.",
                                   {folder, bestScoreProblem_})
                             : net::TranslatedWith(
                                   "The best score file in the folder %s could not be read when the game started "
                                   "(%s), so it is left as it is. Your new best score counts until you quit the game, "
                                   "but it will be gone next time.",
                                   {folder, bestScoreProblem_});
    platform::ShowMessageBox(owner() ? owner()->window() : nullptr, text.c_str(), "", platform::MessageKind::Error);
    keys_.clear();
}

void Application::FinalCleanUp() {
    g_.mainTextures = {};
    g_.playerDieMesh.reset();
    g_.device.reset();
    testControl_.reset();
    pads_.reset();
    window_.reset();
}

void Application::SetRankingCommandsEnabled(bool enabled) {
    using namespace resources::command;
    for (int command : {SendScore, RankingPage, KrmHome}) window_->setCommandEnabled(command, enabled);
}

void Application::openSendScoreDialog() {
    platform::RunSendScoreDialog(owner(), ranking_, g_.sessionBestScore);
    keys_.clear();
}

void Application::ShutdownAudioAndQuit() {
    shutdownAudio();
    events_->postQuit();
}

void Application::ShowErrorMessage(const char* text, const char* caption) {
    platform::ShowMessageBox(nullptr, text, caption, platform::MessageKind::Error);
}

// Deliberate difference: waits-on-loop.
// A close request is answered at once, even during a wait. Other menu choices made
// during the opening, the transition or the game-over pause act, in the order chosen, as
// soon as the wait has ended: the original handled them afterwards too, and the waits
// keep their timing. A replay's playback is such a wait too.
void Application::onCommand(int command) {
    if (command == resources::command::Exit) {
        window_->close();
        return;
    }
    if (waitUnderWay())
        waitingCommands_.push_back(command);
    else
        runCommand(command);
}

bool Application::waitUnderWay() const { return openingUnderWay_ || viewing_ || WaitUnderWay(g_); }

void Application::runWaitingCommands() {
    if (waitUnderWay()) return;
    while (!waitingCommands_.empty() && !events_->quitPosted()) {
        const int command = waitingCommands_.front();
        waitingCommands_.pop_front();
        runCommand(command);
    }
}

void Application::runCommand(int command) {
    using namespace resources::command;
    switch (command) {
        case SendScore: openSendScoreDialog(); break;
        case Version: openVersionDialog(); break;
        case KrmHome:
            openHomePage_ = 1;
            openWebPage();
            break;
        case RankingPage: openWebPage(); break;
        default: break;
    }
}

void Application::openVersionDialog() {
    platform::RunVersionDialog(owner(), resources::Catalogue::embedded());
    keys_.clear();
}

void Application::openWebPage() { platform::RunOpenWebPage(owner(), openHomePage_, ranking_.server); }

void Application::shutdownAudio() { audio_->Shutdown(); }

}  // namespace vemol::app
