// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/support/disk_capture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>

namespace vemol::test {

DiskCapture::DiskCapture() {
    char name[] = "/tmp/vemol-audio-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) ::close(fd);
    path_ = name;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
    unsetenv("SDL_DISKAUDIODELAY");  // real time: one buffer's worth of waiting per buffer
}

DiskCapture::~DiskCapture() { std::remove(path_.c_str()); }

std::size_t DiskCapture::mark() const {
    struct stat info {};
    return stat(path_.c_str(), &info) == 0 ? std::size_t(info.st_size) / 4 : 0;
}

std::vector<float> DiskCapture::samples() const {
    std::ifstream file(path_, std::ios::binary);
    std::vector<float> mono;
    std::int16_t frame[2];
    while (file.read(reinterpret_cast<char*>(frame), sizeof frame)) {
        mono.push_back(0.5f * (float(frame[0]) + float(frame[1])));
    }
    return mono;
}

double Rms(const std::vector<float>& samples, std::size_t from, std::size_t to) {
    to = std::min(to, samples.size());
    if (from >= to) return 0.0;
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / double(to - from));
}

std::size_t Frames(double seconds) { return std::size_t(seconds * kRate); }

std::size_t Onset(const std::vector<float>& samples, std::size_t from) {
    while (from < samples.size() && samples[from] == 0.0f) ++from;
    return from;
}

}  // namespace vemol::test
