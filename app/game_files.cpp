// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/game_files.h"

#include <filesystem>
#include <utility>

#include "game/best_score_file.h"

namespace vemol::app {
namespace {

constexpr const char* kReplayContent = "the replay";

std::string Beside(const std::string& file, const char* name) {
    return std::filesystem::path(file).replace_filename(name).string();
}

FileSave ReplaySave(const std::string& path, std::vector<std::uint8_t> bytes) {
    return {path, [path, bytes = std::move(bytes)](std::string* problem) {
                return WriteFileAtomically(path, bytes, kReplayContent, problem);
            }};
}

}  // namespace

GameFiles::GameFiles(std::string bestScorePath)
    : bestScorePath_(std::move(bestScorePath)),
      lastReplayPath_(Beside(bestScorePath_, "last.vemolreplay")),
      bestReplayPath_(Beside(bestScorePath_, "best.vemolreplay")) {}

void GameFiles::gameEnded(std::optional<std::int32_t> newBest, const std::optional<std::vector<std::uint8_t>>& replay) {
    if (newBest) {
        std::vector<FileSave> chain{{bestScorePath_, [path = bestScorePath_, best = *newBest](std::string* problem) {
                                         return WriteBestScore(path, best, problem);
                                     }}};
        if (replay) chain.push_back(ReplaySave(bestReplayPath_, *replay));
        writer_.save(std::move(chain));
    }
    if (replay) writer_.save({ReplaySave(lastReplayPath_, *replay)});
}

}  // namespace vemol::app
