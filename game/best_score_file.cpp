// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The best-score file: exactly 4 bytes, the best score as a little-endian 32-bit
// integer, no header. Older and newer builds read each other's files, so the format
// never changes.
#include "game/best_score_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

namespace vemol {

namespace {

constexpr int kFileSize = 4;
constexpr int kMostLinks = 40;  // as many as the system itself follows before giving up
constexpr int kMostTemporaryNames = 100;

constexpr const char* kBestScore = "the best score";

// Deliberate difference: failed-save-on-stderr.
// One line on standard error; the reason also goes to `problem` when the caller asks.
void ReportSaveFailure(const char* what, const std::string& path, const std::string& why, std::string* problem) {
    std::fprintf(stderr, "vemol: could not save %s to %s (%s)\n", what, path.c_str(), why.c_str());
    if (problem) *problem = why;
}

void ReportSaveFailure(const char* what, const std::string& path, const char* step, int error,
                       std::string* problem = nullptr) {
    ReportSaveFailure(what, path, std::string(step) + ": " + std::strerror(error), problem);
}

BestScoreReading Unkeepable(const std::string& path, const char* why) {
    std::fprintf(stderr, "vemol: the best score in %s cannot be read or kept (%s)\n", path.c_str(), why);
    return {0, false, why};
}

bool WriteAll(int fd, FileBytes bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes = bytes.subspan(static_cast<size_t>(written));
    }
    return true;
}

std::vector<std::uint8_t> Encode(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
            static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

// Reads up to 4 bytes; a short file fills only the low-order bytes. -1 on a read error.
int ReadScore(int fd, std::int32_t& score) {
    unsigned char bytes[kFileSize] = {};
    int got = 0;
    while (got < kFileSize) {
        const ssize_t n = ::read(fd, bytes + got, static_cast<size_t>(kFileSize - got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        got += static_cast<int>(n);
    }
    std::uint32_t value = 0;
    for (int i = 0; i < kFileSize; ++i) value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    score = static_cast<std::int32_t>(value);
    return got;
}

// The file a save writes: `path` with its symbolic links followed, so the link stays a
// link and its target gets the score. 0, or the error that stopped the walk.
int FollowLinks(const std::string& path, std::string& target) {
    target = path;
    for (int hop = 0; hop < kMostLinks; ++hop) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return 0;
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(target.c_str(), buffer, sizeof buffer);
        if (n < 0) return errno;
        if (n == static_cast<ssize_t>(sizeof buffer)) return ENAMETOOLONG;
        std::string next(buffer, static_cast<size_t>(n));
        const auto slash = target.rfind('/');
        if (!next.empty() && next.front() != '/' && slash != std::string::npos)
            next = target.substr(0, slash + 1) + next;
        target = next;
    }
    return ELOOP;
}

bool Readable(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

// A new file beside `target`, created with mode 0666 so the system takes off the umask.
int CreateTemporary(const std::string& target, std::string& name) {
    for (int attempt = 0; attempt < kMostTemporaryNames; ++attempt) {
        name = target + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Writes the temporary for `target`; `existing` is the file it will replace, whose mode
// it takes. Returns 0 or the error, with the step that failed.
int WriteTemporary(const std::string& target, FileBytes bytes, const struct stat* existing, std::string& temporary,
                   const char*& step) {
    const int fd = CreateTemporary(target, temporary);
    if (fd < 0) {
        step = "creating a temporary file";
        return errno;
    }
    step = nullptr;
    if (!WriteAll(fd, bytes))
        step = "writing";
    else if (existing && ::fchmod(fd, existing->st_mode & 07777) != 0)
        step = "setting permissions";
    else if (::fsync(fd) != 0)  // the bytes are on disk before the old file goes
        step = "flushing";
    int error = step ? errno : 0;
    if (::close(fd) != 0 && !step) {
        step = "closing";
        error = errno;
    }
    if (step) ::unlink(temporary.c_str());
    return error;
}

// Deliberate difference: atomic-save.
// The original's way, kept for a directory that takes no new file but holds a
// writable vemol.dat: the new bytes written over the old ones. Overwriting bytes that
// are already on disk needs no new space.
int RewriteInPlace(const std::string& target, FileBytes bytes, const char*& step) {
    step = "rewriting in place";
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno;
    const auto size = static_cast<off_t>(bytes.size());
    struct stat info {};
    int error = 0;
    if (::fstat(fd, &info) != 0)
        error = errno;
    else if (!S_ISREG(info.st_mode))
        error = EINVAL;
    else if (!WriteAll(fd, bytes) || (info.st_size > size && ::ftruncate(fd, size) != 0) || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error) error = errno;
    return error;
}

bool DirectoryRefusesNewFiles(int error) { return error == EACCES || error == EPERM || error == EROFS; }

}  // namespace

BestScoreReading ReadBestScoreFile(const std::string& path) {
    // Only a regular file is opened: a FIFO would block start-up, a device may act on
    // being opened.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return Unkeepable(path, "not a regular file");
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return {};  // no best score yet
        return Unkeepable(path, std::strerror(errno));
    }
    BestScoreReading reading;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        reading = Unkeepable(path, "not a regular file");
    } else if (ReadScore(fd, reading.score) < 0) {
        reading = Unkeepable(path, std::strerror(errno));
    }
    ::close(fd);
    return reading;
}

std::int32_t ReadBestScore(const std::string& path) { return ReadBestScoreFile(path).score; }

std::string WriteBestScoreTemporary(const std::string& path, std::int32_t value) {
    struct stat info {};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    std::string temporary;
    const char* step = nullptr;
    if (int error = WriteTemporary(path, Encode(value), exists ? &info : nullptr, temporary, step)) {
        ReportSaveFailure(kBestScore, path, step, error);
        return {};
    }
    return temporary;
}

namespace {

bool ReplaceFile(const char* what, const std::string& temporary, const std::string& path, std::string* problem) {
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        ReportSaveFailure(what, path, "replacing the file", errno, problem);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool ReplaceBestScoreFile(const std::string& temporary, const std::string& path, std::string* problem) {
    return ReplaceFile(kBestScore, temporary, path, problem);
}

// Deliberate difference: atomic-save.
// The original truncated the file and wrote it, so a full disk or a crash left it
// empty; here it is replaced whole, and rewritten in place only where nothing else works.
bool WriteFileAtomically(const std::string& path, FileBytes bytes, const char* what, std::string* problem) {
    std::string target;
    if (int error = FollowLinks(path, target)) {
        ReportSaveFailure(what, path, "following the link", error, problem);
        return false;
    }
    struct stat info {};
    const bool exists = ::lstat(target.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) {
        ReportSaveFailure(what, path, "not a regular file; left as it is", problem);
        return false;
    }
    if (exists && !Readable(target)) {  // it may hold a better score than ours
        ReportSaveFailure(what, path, "it cannot be read; left as it is", problem);
        return false;
    }
    std::string temporary;
    const char* step = nullptr;
    int error = WriteTemporary(target, bytes, exists ? &info : nullptr, temporary, step);
    if (!error) return ReplaceFile(what, temporary, target, problem);
    if (exists && DirectoryRefusesNewFiles(error)) error = RewriteInPlace(target, bytes, step);
    if (error) ReportSaveFailure(what, path, step, error, problem);
    return error == 0;
}

bool WriteBestScore(const std::string& path, std::int32_t value, std::string* problem) {
    return WriteFileAtomically(path, Encode(value), kBestScore, problem);
}

}  // namespace vemol
