// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/artgen/palette.h"

#include "tools/artgen/bytes.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace artgen {
namespace {

struct ColourCount {
    std::uint32_t key;  // 0xRRGGBB
    std::uint32_t count;
    int channel(int c) const { return (key >> (16 - 8 * c)) & 0xFF; }
};

std::uint32_t keyOf(Rgb8 c) { return (std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | c.b; }
Rgb8 colourOf(std::uint32_t key) { return {std::uint8_t(key >> 16), std::uint8_t(key >> 8), std::uint8_t(key)}; }

struct Box {
    std::vector<ColourCount> colours;
    std::uint64_t pixels() const {
        std::uint64_t n = 0;
        for (const auto& c : colours) n += c.count;
        return n;
    }
    int widestChannel(int& range) const {
        int best = 0;
        range = -1;
        for (int ch = 0; ch < 3; ++ch) {
            int lo = 255, hi = 0;
            for (const auto& c : colours) lo = std::min(lo, c.channel(ch)), hi = std::max(hi, c.channel(ch));
            // Green counts a little more: the eye sees banding there first.
            int weighted = (hi - lo) * (ch == 1 ? 6 : 5);
            if (weighted > range) range = weighted, best = ch;
        }
        return best;
    }
    Rgb8 mean() const {
        double r = 0, g = 0, b = 0, n = 0;
        for (const auto& c : colours) {
            r += c.channel(0) * double(c.count), g += c.channel(1) * double(c.count),
                b += c.channel(2) * double(c.count);
            n += c.count;
        }
        return {std::uint8_t(std::lround(r / n)), std::uint8_t(std::lround(g / n)), std::uint8_t(std::lround(b / n))};
    }
};

std::vector<Rgb8> medianCut(std::vector<ColourCount> colours, int wanted) {
    std::vector<Rgb8> palette;
    if (colours.empty() || wanted <= 0) return palette;
    if (int(colours.size()) <= wanted) {
        for (const auto& c : colours) palette.push_back(colourOf(c.key));
        return palette;
    }
    std::vector<Box> boxes{Box{std::move(colours)}};
    while (int(boxes.size()) < wanted) {
        int pick = -1;
        double bestScore = 0;
        for (int i = 0; i < int(boxes.size()); ++i) {
            if (boxes[i].colours.size() < 2) continue;
            int range;
            boxes[i].widestChannel(range);
            double score = double(range) * std::sqrt(double(boxes[i].pixels()));
            if (score > bestScore) bestScore = score, pick = i;
        }
        if (pick < 0) break;
        Box& box = boxes[pick];
        int range;
        int ch = box.widestChannel(range);
        std::sort(box.colours.begin(), box.colours.end(), [ch](const ColourCount& a, const ColourCount& b) {
            return a.channel(ch) != b.channel(ch) ? a.channel(ch) < b.channel(ch) : a.key < b.key;
        });
        std::uint64_t half = box.pixels() / 2, run = 0;
        std::size_t cut = 1;
        for (std::size_t i = 0; i + 1 < box.colours.size(); ++i) {
            run += box.colours[i].count;
            cut = i + 1;
            if (run >= half) break;
        }
        Box upper{std::vector<ColourCount>(box.colours.begin() + long(cut), box.colours.end())};
        box.colours.resize(cut);
        boxes.push_back(std::move(upper));
    }
    for (const Box& b : boxes) palette.push_back(b.mean());
    return palette;
}

int distance2(Rgb8 a, Rgb8 b) {
    int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

}  // namespace

Rgb8 toRgb8(Rgb c) {
    return {std::uint8_t(std::lround(clamp01(c.r) * 255.0f)), std::uint8_t(std::lround(clamp01(c.g) * 255.0f)),
            std::uint8_t(std::lround(clamp01(c.b) * 255.0f))};
}

std::vector<IndexedImage> quantizeTogether(const std::vector<const Canvas*>& canvases, int maxColours,
                                           const std::vector<Rgb8>& reserved) {
    auto isReserved = [&](std::uint32_t k) {
        return std::any_of(reserved.begin(), reserved.end(), [k](Rgb8 r) { return keyOf(r) == k; });
    };
    std::vector<std::vector<std::uint32_t>> keys;
    std::map<std::uint32_t, std::uint32_t> histogram;
    for (const Canvas* canvas : canvases) {
        std::vector<std::uint32_t>& k = keys.emplace_back(std::size_t(canvas->width()) * canvas->height());
        for (int y = 0; y < canvas->height(); ++y)
            for (int x = 0; x < canvas->width(); ++x) {
                std::uint32_t key = keyOf(toRgb8(canvas->at(x, y)));
                k[std::size_t(y) * canvas->width() + x] = key;
                if (!isReserved(key)) ++histogram[key];
            }
    }
    std::vector<ColourCount> colours;
    for (auto [k, n] : histogram) colours.push_back({k, n});
    std::vector<Rgb8> palette = reserved;
    std::vector<Rgb8> cut = medianCut(std::move(colours), maxColours - int(reserved.size()));
    palette.insert(palette.end(), cut.begin(), cut.end());

    std::map<std::uint32_t, std::uint8_t> lookup;
    for (std::size_t i = 0; i < reserved.size(); ++i) lookup[keyOf(reserved[i])] = std::uint8_t(i);
    for (auto [k, n] : histogram) {
        Rgb8 c = colourOf(k);
        std::size_t best = reserved.size();
        for (std::size_t i = reserved.size(); i < palette.size(); ++i)
            if (distance2(c, palette[i]) < distance2(c, palette[best])) best = i;
        lookup[k] = std::uint8_t(best);
    }
    std::vector<IndexedImage> out;
    for (std::size_t c = 0; c < canvases.size(); ++c) {
        IndexedImage& image = out.emplace_back();
        image.width = canvases[c]->width();
        image.height = canvases[c]->height();
        image.palette = palette;
        image.index.resize(keys[c].size());
        for (std::size_t i = 0; i < keys[c].size(); ++i) image.index[i] = lookup.at(keys[c][i]);
    }
    return out;
}

IndexedImage quantize(const Canvas& canvas, int maxColours, const std::vector<Rgb8>& reserved) {
    return quantizeTogether({&canvas}, maxColours, reserved).front();
}

std::vector<std::uint8_t> encodeDib(const IndexedImage& image) {
    const int stride = (image.width + 3) / 4 * 4;
    ByteWriter w;
    w.u32le(40);
    w.i32le(image.width);
    w.i32le(image.height);  // positive: rows bottom-up
    w.u16le(1);
    w.u16le(8);
    w.u32le(0);  // BI_RGB
    w.u32le(std::uint32_t(stride * image.height));
    w.i32le(0);
    w.i32le(0);
    w.u32le(0);  // all 256 palette entries follow
    w.u32le(0);
    for (int i = 0; i < 256; ++i) {
        Rgb8 c = i < int(image.palette.size()) ? image.palette[i] : Rgb8{};
        w.u8(c.b), w.u8(c.g), w.u8(c.r), w.u8(0);
    }
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) w.u8(image.index[std::size_t(y) * image.width + x]);
        w.zeros(std::size_t(stride - image.width));
    }
    return w.take();
}

}  // namespace artgen
