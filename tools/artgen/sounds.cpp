// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The four sound effects, synthesised. Lengths are fixed by the catalogue's data sizes.
#include "tools/artgen/artwork.h"
#include "tools/artgen/random.h"

#include <algorithm>
#include <cmath>

namespace artgen {
namespace {

constexpr double kTwoPi = 6.283185307179586;

// A short fade at both ends so no effect starts or stops with a click.
void fadeEdges(std::vector<float>& mono, int rate, double inSeconds, double outSeconds) {
    const int in = int(inSeconds * rate), out = int(outSeconds * rate), n = int(mono.size());
    for (int i = 0; i < n; ++i) {
        double g = 1.0;
        if (i < in) g = double(i) / in;
        if (i >= n - out) g = std::min(g, double(n - 1 - i) / out);
        mono[std::size_t(i)] *= float(g);
    }
}

// A band-limited pulse: odd and even harmonics up to the Nyquist limit.
double pulse(double phase, double frequency, int rate, double duty) {
    double sum = 0;
    for (int h = 1; h * frequency < rate * 0.45; ++h)
        sum += std::sin(kTwoPi * h * duty * 0.5) / h * std::cos(kTwoPi * h * phase);
    return sum * 1.2;
}

// Scales so the loudest sample reaches the given level: loud, never clipped.
void normalise(std::vector<float>& samples, float peak) {
    float loudest = 0;
    for (float v : samples) loudest = std::max(loudest, std::fabs(v));
    if (loudest > 0)
        for (float& v : samples) v *= peak / loudest;
}

}  // namespace

// HIT: a bright knock-out hit. A clack of noise, a punchy falling body, and a metallic
// ring that fades over the whole 0.79 s, spread a little between the two channels.
std::vector<float> makeHitSound() {
    const int rate = 22050, frames = 69828 / 4;
    std::vector<float> left(frames), right(frames);
    Random random(0x417);
    const double partials[5] = {1318.5, 1976.0, 2637.0, 3520.0, 5274.0};
    const double decays[5] = {0.30, 0.22, 0.15, 0.09, 0.05};
    const double levels[5] = {0.30, 0.20, 0.16, 0.10, 0.06};
    double noiseLow = 0, phaseBody = 0;
    for (int i = 0; i < frames; ++i) {
        double t = double(i) / rate;
        double white = random.signedUnit();
        noiseLow += (white - noiseLow) * 0.35;
        double clack = (white - noiseLow) * std::exp(-t / 0.012) * 0.7;
        double bodyFreq = 90.0 + 260.0 * std::exp(-t / 0.03);
        phaseBody += bodyFreq / rate;
        double body = std::sin(kTwoPi * phaseBody) * std::exp(-t / 0.07) * 0.55;
        double ringL = 0, ringR = 0;
        for (int p = 0; p < 5; ++p) {
            double env = levels[p] * std::exp(-t / decays[p]);
            ringL += env * std::sin(kTwoPi * partials[p] * t);
            ringR += env * std::sin(kTwoPi * partials[p] * 1.004 * t + 0.7 * p);
        }
        // A short upward chirp on top makes it sparkle.
        double chirp = std::sin(kTwoPi * (2000.0 * t + 6000.0 * t * t)) * std::exp(-t / 0.05) * 0.12;
        left[std::size_t(i)] = float(clack + body + ringL + chirp);
        right[std::size_t(i)] = float(clack * 0.9 + body + ringR + chirp * 0.8);
    }
    fadeEdges(left, rate, 0.0005, 0.08);
    fadeEdges(right, rate, 0.0005, 0.08);
    std::vector<float> stereo;
    stereo.reserve(std::size_t(frames) * 2);
    for (int i = 0; i < frames; ++i) stereo.push_back(left[std::size_t(i)]), stereo.push_back(right[std::size_t(i)]);
    normalise(stereo, 0.89f);
    return stereo;
}

// MOVE: a two-note menu blip, up a fourth, on a soft square.
std::vector<float> makeMoveSound() {
    const int rate = 11025, n = 1736;
    std::vector<float> out(n);
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        double t = double(i) / rate;
        bool second = t >= 0.055;
        double f = second ? 1318.5 : 987.8;
        double local = second ? t - 0.055 : t;
        double env = std::exp(-local / (second ? 0.045 : 0.03));
        phase += f / rate;
        out[std::size_t(i)] = float(0.45 * env * pulse(phase, f, rate, 0.5));
    }
    fadeEdges(out, rate, 0.002, 0.01);
    normalise(out, 0.7f);
    return out;
}

// SELECT: the soft thud of the die landing after a roll: a low falling tone and a
// muffled tap, over in 0.08 s.
std::vector<float> makeSelectSound() {
    const int rate = 22050, n = 3724 / 2;
    std::vector<float> out(n);
    Random random(0x5E1);
    double phase = 0, noise = 0;
    for (int i = 0; i < n; ++i) {
        double t = double(i) / rate;
        double f = 70.0 + 150.0 * std::exp(-t / 0.015);
        phase += f / rate;
        noise += (random.signedUnit() - noise) * 0.08;
        double tap = noise * std::exp(-t / 0.006) * 1.6;
        out[std::size_t(i)] = float((std::sin(kTwoPi * phase) * 0.75 + tap) * std::exp(-t / 0.028));
    }
    fadeEdges(out, rate, 0.0008, 0.015);
    normalise(out, 0.8f);
    return out;
}

// START: a rising jingle. A quick run up the C major arpeggio, then a held chord
// with a gentle vibrato, ending at 1.71 s.
std::vector<float> makeStartSound() {
    const int rate = 22050, n = 37760;
    std::vector<float> out(n);
    struct Tone {
        double start, length, frequency, level;
    };
    const Tone tones[] = {
        {0.00, 0.12, 523.25, 0.30}, {0.09, 0.12, 659.26, 0.30}, {0.18, 0.12, 783.99, 0.30}, {0.27, 0.12, 1046.5, 0.30},
        {0.36, 0.12, 1318.5, 0.28}, {0.45, 0.14, 1568.0, 0.28}, {0.60, 1.11, 1046.5, 0.22}, {0.60, 1.11, 1318.5, 0.18},
        {0.60, 1.11, 1568.0, 0.16}, {0.60, 1.11, 523.25, 0.16},
    };
    for (const Tone& tone : tones) {
        double phase = 0;
        int first = int(tone.start * rate), last = std::min(n, int((tone.start + tone.length) * rate));
        for (int i = first; i < last; ++i) {
            double t = double(i - first) / rate;
            double vibrato =
                tone.length > 0.5 ? 1.0 + 0.004 * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, t / 0.3) : 1.0;
            phase += tone.frequency * vibrato / rate;
            double attack = std::min(1.0, t / 0.006);
            double release = std::min(1.0, (tone.length - t) / 0.04);
            double decay = tone.length > 0.5 ? std::exp(-t / 0.7) : std::exp(-t / 0.12);
            double voice = 0.6 * pulse(phase, tone.frequency, rate, 0.25) + 0.5 * std::sin(kTwoPi * phase);
            out[std::size_t(i)] += float(tone.level * attack * release * decay * voice);
        }
    }
    normalise(out, 0.85f);
    // 8-bit samples: a little fixed noise before rounding keeps the fade from buzzing.
    Random random(0x57A);
    for (float& s : out) s += float((random.unit() - random.unit()) / 256.0);
    fadeEdges(out, rate, 0.001, 0.03);
    return out;
}

}  // namespace artgen
