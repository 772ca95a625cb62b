// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "game/init_device.h"

namespace vemol::test {

void ScriptedKeys::press(Key key) {
    down[static_cast<int>(key)] = true;
    latch[static_cast<int>(key)] = true;
}

void ScriptedKeys::release(Key key) { down[static_cast<int>(key)] = false; }

void ScriptedKeys::releaseAll() {
    for (bool& d : down) d = false;
}

void ScriptedKeys::tap(Key key) { latch[static_cast<int>(key)] = true; }

KeyState ScriptedKeys::query(Key key) {
    int i = static_cast<int>(key);
    queryCount[i]++;
    KeyState state{down[i], latch[i]};
    latch[i] = false;
    return state;
}

int SoundRecorder::count(Segment segment, SoundCall::Kind kind) const {
    int n = 0;
    for (const SoundCall& c : calls)
        if (c.segment == segment && c.kind == kind) n++;
    return n;
}

Harness::Harness(gfx::Format format) : Harness(format, resources::Catalogue::embedded()) {}

Harness::Harness(gfx::Format format, const resources::Catalogue& catalogue) {
    g.clock = &clock;
    g.keys = &keys;
    g.sound = &sound;
    g.shell = &shell;
    g.device = std::make_unique<gfx::Device>(kBackBufferWidth, kBackBufferHeight, format);
    deviceObjectsMade = CreateDeviceObjects(g, catalogue);
}

void Harness::frame(float dt) {
    clock.t += dt;
    FrameOutcome outcome = RunFrame(g);
    for (; outcome.idleSeconds > 0.0f; outcome = RunFrame(g)) clock.t += outcome.idleSeconds;
    if (outcome.openSendScore) sendScoreRequests++;
}

void Harness::frames(int n, float dt) {
    for (int i = 0; i < n; i++) frame(dt);
}

void Harness::startGame() {
    g.menuSelection = 0;
    keys.press(Key::Return);
    frame();
    keys.release(Key::Return);
    while (g.transitionStep != kNoTransition) frame(0.0f);
}

namespace {

std::string PpmBytes(const gfx::Surface& image) {
    std::ostringstream out;
    out << "P6\n" << image.width() << " " << image.height() << "\n255\n";
    for (int y = 0; y < image.height(); y++)
        for (int x = 0; x < image.width(); x++) {
            std::uint32_t p = image.pixel(x, y);
            out.put(static_cast<char>((p >> 16) & 0xFF));
            out.put(static_cast<char>((p >> 8) & 0xFF));
            out.put(static_cast<char>(p & 0xFF));
        }
    return out.str();
}

}  // namespace

void WritePpm(const gfx::Surface& image, const std::string& path) {
    std::ofstream(path, std::ios::binary) << PpmBytes(image);
}

void ExpectMatchesGolden(const gfx::Surface& image, const std::string& name) {
    const std::string path = std::string(VEMOL_GOLDEN_DIR) + "/" + name + ".ppm";
    const std::string actual = PpmBytes(image);
    const char* update = std::getenv("VEMOL_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in.good()) << "missing golden image " << path << " (run with VEMOL_UPDATE_GOLDEN=1 to create it)";
    std::stringstream expected;
    expected << in.rdbuf();
    if (expected.str() != actual) {
        const std::string got = ::testing::TempDir() + name + ".actual.ppm";
        WritePpm(image, got);
        ADD_FAILURE() << "picture differs from golden " << path << "; this run's picture: " << got;
    }
}

}  // namespace vemol::test
