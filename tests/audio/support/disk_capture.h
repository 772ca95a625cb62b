// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the game "played", through SDL's disk audio driver: the mixer writes its output
// to a file in real time, and the test reads it back as mono samples.
#include <cstddef>
#include <string>
#include <vector>

namespace vemol::test {

constexpr int kRate = 44100;

class DiskCapture {
public:
    // Points SDL's audio at a fresh file; create it before the audio device is opened.
    DiskCapture();
    ~DiskCapture();

    // How many frames the mixer has written so far (stdio may hold back a few
    // milliseconds of them).
    std::size_t mark() const;
    // Everything written, as mono samples; read it after the device is closed.
    std::vector<float> samples() const;

private:
    std::string path_;
};

// Root mean square of samples [from, to), in 16-bit units.
double Rms(const std::vector<float>& samples, std::size_t from, std::size_t to);
std::size_t Frames(double seconds);
// The first frame at or after `from` that is not silent.
std::size_t Onset(const std::vector<float>& samples, std::size_t from);

}  // namespace vemol::test
