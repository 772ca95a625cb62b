// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding the ranking server's IPv4 address within a time limit.
//
// A name is looked up in the system's host database. A dotted address is used only when
// its reverse lookup answers, and the address connected to is the first of the host entry
// that lookup returned: the ranking has always treated a server without a name as absent.
#include <netinet/in.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace vemol::net {

// The system's host database, replaceable so tests can stage answers and slow servers.
class HostLookup {
public:
    virtual ~HostLookup() = default;
    // Addresses (network byte order) of the host entry for `name`; empty when there is none.
    virtual std::vector<in_addr_t> byName(const std::string& name) = 0;
    // Addresses of the host entry found by reverse lookup of `address`; empty when none.
    virtual std::vector<in_addr_t> byAddress(in_addr_t address) = 0;
};

// The real database (files, DNS, ... as nsswitch.conf says).
std::shared_ptr<HostLookup> SystemHostLookup();

enum class LookupStatus { Found, NotFound, TimedOut };

struct LookupResult {
    LookupStatus status = LookupStatus::NotFound;
    in_addr_t address = 0;  // network byte order, when found
};

// Resolves `host` as described above, giving up at `deadline`. The lookup itself runs on
// a short-lived worker thread: the system's resolver cannot be interrupted, so when time
// runs out the worker is left to finish on its own and its answer is dropped. That way
// an unreachable name server costs the player the time limit, not minutes.
LookupResult ResolveRankingHost(const std::string& host, std::chrono::steady_clock::time_point deadline,
                                std::shared_ptr<HostLookup> lookup);

}  // namespace vemol::net
