// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The embedded default: one SQLite file in write-ahead-log mode, every commit synced to
// disk, so a score once answered as stored survives a crash of the server or the machine.
#include <memory>
#include <string>

#include "server/score_store.h"

namespace vemol::ranking {

std::unique_ptr<ScoreStore> OpenSqliteStore(const std::string& path);

}  // namespace vemol::ranking
