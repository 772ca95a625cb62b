// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/host_lookup.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

namespace vemol::net {
namespace {

std::vector<in_addr_t> AddressesOf(const hostent* entry) {
    std::vector<in_addr_t> addresses;
    if (!entry || entry->h_addrtype != AF_INET || entry->h_length != 4) return addresses;
    for (char** item = entry->h_addr_list; *item; ++item) {
        in_addr_t address;
        std::memcpy(&address, *item, sizeof address);
        addresses.push_back(address);
    }
    return addresses;
}

// Runs one reentrant host-database call, growing its scratch buffer while it asks for more.
template <typename Call>
std::vector<in_addr_t> QueryHostDatabase(Call call) {
    std::vector<char> buffer(1024);
    for (;;) {
        hostent storage{};
        hostent* entry = nullptr;
        int hostError = 0;
        int rc = call(&storage, buffer.data(), buffer.size(), &entry, &hostError);
        if (rc == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        return rc == 0 ? AddressesOf(entry) : std::vector<in_addr_t>{};
    }
}

class SystemLookup final : public HostLookup {
public:
    std::vector<in_addr_t> byName(const std::string& name) override {
        return QueryHostDatabase([&](hostent* out, char* buf, size_t len, hostent** result, int* err) {
            return gethostbyname_r(name.c_str(), out, buf, len, result, err);
        });
    }
    std::vector<in_addr_t> byAddress(in_addr_t address) override {
        return QueryHostDatabase([&](hostent* out, char* buf, size_t len, hostent** result, int* err) {
            return gethostbyaddr_r(&address, sizeof address, AF_INET, out, buf, len, result, err);
        });
    }
};

// What the worker hands back; shared so an abandoned worker still has somewhere to write.
struct LookupJob {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::vector<in_addr_t> addresses;
};

std::vector<in_addr_t> LookUp(const std::string& host, HostLookup& lookup) {
    in_addr_t dotted = inet_addr(host.c_str());
    if (dotted == INADDR_NONE) return lookup.byName(host);
    return lookup.byAddress(dotted);
}

}  // namespace

std::shared_ptr<HostLookup> SystemHostLookup() { return std::make_shared<SystemLookup>(); }

LookupResult ResolveRankingHost(const std::string& host, std::chrono::steady_clock::time_point deadline,
                                std::shared_ptr<HostLookup> lookup) {
    auto job = std::make_shared<LookupJob>();
    try {
        std::thread([job, host, lookup] {
            auto addresses = LookUp(host, *lookup);
            std::lock_guard lock(job->mutex);
            job->addresses = std::move(addresses);
            job->done = true;
            job->finished.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        // No thread to spare: look up here, without the time limit, rather than not at all.
        auto addresses = LookUp(host, *lookup);
        if (addresses.empty()) return {LookupStatus::NotFound, 0};
        return {LookupStatus::Found, addresses.front()};
    }
    std::unique_lock lock(job->mutex);
    if (!job->finished.wait_until(lock, deadline, [&] { return job->done; })) return {LookupStatus::TimedOut, 0};
    if (job->addresses.empty()) return {LookupStatus::NotFound, 0};
    return {LookupStatus::Found, job->addresses.front()};
}

}  // namespace vemol::net
