// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The files a game leaves beside vemol.dat: the best score, the replay of the last game
// (last.vemolreplay) and of the game that set the best score (best.vemolreplay). The one
// writer thread saves them after the frame that ended the game: the best score, then the
// best game's replay, then the last game's.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/file_writer.h"

namespace vemol::app {

class GameFiles {
public:
    // `bestScorePath` is vemol.dat's path; the replays go into its folder.
    explicit GameFiles(std::string bestScorePath);

    // After the frame that ended a game: `newBest` when it raised the best score and the
    // best score may be saved, `replay` when the game was recorded. The best game's
    // replay is saved only once its score is.
    void gameEnded(std::optional<std::int32_t> newBest, const std::optional<std::vector<std::uint8_t>>& replay);
    // The saves that failed since the last call.
    std::vector<SaveFailure> takeFailures() { return writer_.takeFailures(); }

    const std::string& bestScorePath() const { return bestScorePath_; }
    const std::string& lastReplayPath() const { return lastReplayPath_; }
    const std::string& bestReplayPath() const { return bestReplayPath_; }

private:
    std::string bestScorePath_, lastReplayPath_, bestReplayPath_;
    FileWriter writer_;  // last: joined first, while the paths above still exist
};

}  // namespace vemol::app
