// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The two busiest frames the game draws, straight through the software device with
// made-up artwork of the real sizes: a play frame with every pool full, and a frame of
// the game-over break-up. Each ends with the finished picture copied into memory, as
// the platform does when it shows it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "gfx/device.h"
#include "scene.h"

namespace {

using vemol::gfx::Blend;
using gfxtest::Corner;
using gfxtest::cubeMesh;
using gfxtest::kWholeTexture;
using gfxtest::placed;
using gfxtest::setGameCamera;
using gfxtest::squareMesh;
using vemol::gfx::Matrix;
using vemol::gfx::Mesh;
using vemol::gfx::Texture;

constexpr std::uint32_t kClearColour = 0xFFFBEDB5;

// An 8-bit bitmap with a busy pattern, so texel fetches are not all alike.
std::vector<std::uint8_t> patternBitmap(int width, int height, int seed) {
    const int stride = (width + 3) & ~3;
    std::vector<std::uint8_t> dib(40 + 1024 + static_cast<std::size_t>(stride) * height);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) dib[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, static_cast<std::uint32_t>(width));
    put32(8, static_cast<std::uint32_t>(height));
    dib[12] = 1;
    dib[14] = 8;
    for (int i = 0; i < 256; ++i) {
        dib[40 + 4 * i] = static_cast<std::uint8_t>(i * 3 + seed);
        dib[41 + 4 * i] = static_cast<std::uint8_t>(i * 5);
        dib[42 + 4 * i] = static_cast<std::uint8_t>(255 - i);
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            dib[40 + 1024 + static_cast<std::size_t>(y) * stride + x] =
                static_cast<std::uint8_t>((x * 7) ^ (y * 3) ^ seed);
    return dib;
}

std::unique_ptr<Texture> patternTexture(int width, int height, int seed) {
    return vemol::gfx::CreateTextureFromBitmap(patternBitmap(width, height, seed));
}

constexpr Corner kDiceFace[4] = {{0.25f, 0.25f}, {0.25f, 0.0f}, {0.0f, 0.25f}, {0.0f, 0.0f}};

void presentIntoMemory(const vemol::gfx::Device& device, std::vector<std::uint8_t>& shown) {
    const vemol::gfx::Surface& back = device.backBuffer();
    std::memcpy(shown.data(), back.data(), shown.size());
    benchmark::DoNotOptimize(shown.data());
}

struct PlayScene {
    std::unique_ptr<Texture> board = patternTexture(512, 512, 1);
    std::unique_ptr<Texture> dice = patternTexture(256, 256, 2);
    std::unique_ptr<Texture> blast = patternTexture(128, 128, 3);
    std::unique_ptr<Texture> points = patternTexture(36, 32, 4);
    Mesh backdrop = squareMesh(35.0f, 0xFFFFFFFF, kWholeTexture);
    Mesh die = squareMesh(1.4f, 0xFFFFFFFF, kDiceFace);
    Mesh blastSquare = squareMesh(1.4f, 0xFF00FF00, kWholeTexture);
    Mesh popup = squareMesh(2.5f, 0xFFFFFFFF, kWholeTexture);
    Mesh cube = cubeMesh(3.0f, 0x01FFFFFFu);  // the player's cube, face 1's number in the top byte

    void draw(vemol::gfx::Device& d) const {
        d.clear(kClearColour, 1.0f);
        d.beginScene();
        d.setWorld(placed(vemol::gfx::MatrixIdentity(), 7.0f, 0.0f, -14.0f));
        d.setTexture(board.get());
        d.drawMesh(backdrop);
        d.setTexture(dice.get());
        for (int k = 0; k < 10; ++k) {  // shots
            d.setWorld(placed(vemol::gfx::MatrixRotationY(0.3f * k), -24.0f + 4.6f * k, 4.0f, -6.0f + k));
            d.drawMesh(die);
        }
        d.setWorld(placed(vemol::gfx::MatrixRotationX(0.4f), -3.0f, 2.0f, -17.0f));
        d.drawMesh(cube);
        for (int i = 0; i < 30; ++i) {  // falling dice, 12 columns, a few rows
            d.setWorld(placed(vemol::gfx::MatrixRotationY(0.21f * i), -24.0f + 4.4f * (i % 12), 0.0f,
                              17.0f - 6.0f * (i / 12)));
            d.drawMesh(die);
        }
        d.setBlendEnable(true);
        d.setSrcBlend(Blend::SrcAlpha);
        d.setDestBlend(Blend::One);
        d.setTexture(blast.get());
        for (int k = 0; k < 10; ++k) {
            Matrix m = placed(vemol::gfx::MatrixIdentity(), -22.0f + 5.0f * k, 0.0f, -8.0f + 2.0f * k);
            m.m[0][0] = 3.0f;
            m.m[2][2] = 2.0f;
            d.setWorld(m);
            d.drawMesh(blastSquare);
        }
        d.setBlendEnable(false);
        d.setTexture(points.get());
        for (int k = 0; k < 10; ++k) {
            d.setWorld(placed(vemol::gfx::MatrixIdentity(), -20.0f + 4.5f * k, 0.0f, 4.0f + k));
            d.setBlendEnable(true);
            d.setSrcBlend(Blend::Zero);
            d.setDestBlend(Blend::InvSrcColor);
            d.drawMesh(popup);
            d.setSrcBlend(Blend::One);
            d.setDestBlend(Blend::One);
            d.drawMesh(popup);
            d.setBlendEnable(false);
        }
        d.endScene();
    }
};

void BM_PlayFrameWorstCase(benchmark::State& state) {
    vemol::gfx::Device device(632, 453);
    setGameCamera(device);
    const PlayScene scene;
    std::vector<std::uint8_t> shown(device.backBuffer().data() == nullptr
                                        ? 0
                                        : static_cast<std::size_t>(device.backBuffer().pitch()) * device.height());
    for (auto _ : state) {
        scene.draw(device);
        presentIntoMemory(device, shown);
    }
}
BENCHMARK(BM_PlayFrameWorstCase)->Unit(benchmark::kMillisecond);

// What every frame costs at the least: clear, one full-window textured pass, the copy.
void BM_FrameFloor(benchmark::State& state) {
    vemol::gfx::Device device(632, 453);
    setGameCamera(device);
    const PlayScene scene;
    std::vector<std::uint8_t> shown(static_cast<std::size_t>(device.backBuffer().pitch()) * device.height());
    for (auto _ : state) {
        device.clear(kClearColour, 1.0f);
        device.setWorld(placed(vemol::gfx::MatrixIdentity(), 7.0f, 0.0f, -14.0f));
        device.setTexture(scene.board.get());
        device.drawMesh(scene.backdrop);
        presentIntoMemory(device, shown);
    }
}
BENCHMARK(BM_FrameFloor)->Unit(benchmark::kMillisecond);

// A frame of the new-game transition: the title picture tipped toward the camera, drawn
// in perspective (argument: the transition step). Every frame of the transition tips it
// further, so the frames alternate between this step and the next, as the device would
// otherwise find each frame's start the same as the one before and not draw it again.
void BM_TransitionFrame(benchmark::State& state) {
    vemol::gfx::Device device(632, 453);
    setGameCamera(device);
    const auto title = patternTexture(512, 512, 5);
    const Mesh backdrop = squareMesh(35.0f, 0xFFFFFFFF, kWholeTexture);
    int step = static_cast<int>(state.range(0));
    std::vector<std::uint8_t> shown(static_cast<std::size_t>(device.backBuffer().pitch()) * device.height());
    for (auto _ : state) {
        step ^= 1;
        device.clear(kClearColour, 1.0f);
        device.setWorld(
            placed(vemol::gfx::MatrixRotationX(static_cast<float>(step) * -0.03f), 3.0f, (step - 8) * 0.5f, -10.8f));
        device.setTexture(title.get());
        device.drawMesh(backdrop);
        presentIntoMemory(device, shown);
    }
}
BENCHMARK(BM_TransitionFrame)->Arg(10)->Arg(30)->Unit(benchmark::kMillisecond);

void BM_GameOverFrame(benchmark::State& state) {
    vemol::gfx::Device device(632, 453);
    setGameCamera(device);
    const auto title = patternTexture(512, 512, 5);
    Texture capture(1024, 1024, vemol::gfx::Format::X8R8G8B8);
    vemol::gfx::Device::copyRect(device.backBuffer(), {0, 0, 632, 453}, capture.level0(), 0, 0);
    const Mesh backdrop = squareMesh(35.0f, 0xFFFFFFFF, kWholeTexture);
    std::vector<Mesh> tiles;
    for (int j = 0; j < 16; ++j)
        for (int i = 0; i < 12; ++i) {
            const double u0 = j * 20.0 / 517.0, u1 = (j + 1) * 20.0 / 517.0;
            const double t0 = 0.4440000057220459 - i / 27.0, t1 = 0.4440000057220459 - (i + 1) / 27.0;
            const Corner uv[4] = {
                {float(u1), float(t0)}, {float(u1), float(t1)}, {float(u0), float(t0)}, {float(u0), float(t1)}};
            tiles.push_back(squareMesh(1.8f, 0xFFFFFFFF, uv));
        }
    std::vector<std::uint8_t> shown(static_cast<std::size_t>(device.backBuffer().pitch()) * device.height());
    for (auto _ : state) {
        device.clear(kClearColour, 1.0f);
        device.beginScene();
        device.setWorld(placed(vemol::gfx::MatrixIdentity(), 3.0f, -8.0f, -10.8f));
        device.setTexture(title.get());
        device.drawMesh(backdrop);
        device.setTexture(&capture);
        for (int j = 0; j < 16; ++j)
            for (int i = 0; i < 12; ++i) {
                device.setWorld(placed(vemol::gfx::MatrixIdentity(), 3.6f * j - 27.0f, -2.0f, 3.6f * i - 19.8f));
                device.drawMesh(tiles[static_cast<std::size_t>(12 * j + i)]);
            }
        device.endScene();
        presentIntoMemory(device, shown);
    }
}
BENCHMARK(BM_GameOverFrame)->Unit(benchmark::kMillisecond);

}  // namespace
