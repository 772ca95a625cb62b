// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ranking in a PostgreSQL database, for hosts that run several server instances
// behind a load balancer: every instance sees and writes the same ranking.
#include <memory>
#include <string>

#include "server/score_store.h"

namespace vemol::ranking {

// `address` is a libpq connection address, "postgresql://user@host:port/dbname?...".
std::unique_ptr<ScoreStore> OpenPostgresStore(const std::string& address);

}  // namespace vemol::ranking
