// The best-score file: exactly 4 bytes, the best score as a little-endian 32-bit
// integer, no header. Older and newer builds read each other's files, so the format
// never changes.
#include "game/best_score_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

namespace vemol {

namespace {

constexpr int kFileSize = 4;

void ReportSaveFailure(const std::string& path, const char* step, int error) {
    std::fprintf(stderr, "vemol: could not save the best score to %s (%s: %s)\n", path.c_str(), step,
                 std::strerror(error));
}

bool WriteAll(int fd, const unsigned char* bytes, int count) {
    while (count > 0) {
        const ssize_t written = ::write(fd, bytes, static_cast<size_t>(count));
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += written;
        count -= static_cast<int>(written);
    }
    return true;
}

// The replacement keeps the old file's permissions; a first file gets the usual ones.
mode_t FileModeFor(const std::string& path) {
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) return old.st_mode & 07777;
    return 0644;
}

}  // namespace

std::int32_t ReadBestScore(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return 0;
    unsigned char bytes[kFileSize] = {};
    in.read(reinterpret_cast<char*>(bytes), kFileSize);
    // A short file fills only the low-order bytes; the rest stay 0.
    std::uint32_t value = 0;
    for (int i = 0; i < kFileSize; ++i) value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return static_cast<std::int32_t>(value);
}

std::string WriteBestScoreTemporary(const std::string& path, std::int32_t value) {
    std::vector<char> name(path.begin(), path.end());
    const char suffix[] = ".XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);  // with the terminating zero
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        ReportSaveFailure(path, "creating a temporary file", errno);
        return {};
    }
    const std::string temporary(name.data());

    const auto bits = static_cast<std::uint32_t>(value);
    const unsigned char bytes[kFileSize] = {
        static_cast<unsigned char>(bits), static_cast<unsigned char>(bits >> 8),
        static_cast<unsigned char>(bits >> 16), static_cast<unsigned char>(bits >> 24)};
    const char* failedStep = nullptr;
    if (!WriteAll(fd, bytes, kFileSize))
        failedStep = "writing";
    else if (::fchmod(fd, FileModeFor(path)) != 0)
        failedStep = "setting permissions";
    else if (::fsync(fd) != 0)  // the bytes are on disk before the old file goes
        failedStep = "flushing";
    int error = errno;
    if (::close(fd) != 0 && !failedStep) {
        failedStep = "closing";
        error = errno;
    }
    if (failedStep) {
        ReportSaveFailure(path, failedStep, error);
        ::unlink(temporary.c_str());
        return {};
    }
    return temporary;
}

bool ReplaceBestScoreFile(const std::string& temporary, const std::string& path) {
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        ReportSaveFailure(path, "replacing the file", errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool WriteBestScore(const std::string& path, std::int32_t value) {
    const std::string temporary = WriteBestScoreTemporary(path, value);
    return !temporary.empty() && ReplaceBestScoreFile(temporary, path);
}

}  // namespace vemol
