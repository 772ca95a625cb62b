// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// vemol_artgen <resources-folder>: writes every embedded picture, sound, the tune, the
// opening clip and the icon in their exact formats, and the desktop's icons as PNGs.
// Nothing depends on the time or the machine, so two runs give identical bytes.
#include "tools/artgen/artwork.h"
#include "tools/artgen/palette.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace artgen;
namespace fs = std::filesystem;

bool writeFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "artgen: cannot write %s\n", path.string().c_str());
        return false;
    }
    return true;
}

// The HUD sheet keeps its pure blue background as palette entry 0, and that entry only
// for the background.
IndexedImage hudSheetImage() { return quantize(makeHudSheet(), 256, {Rgb8{0, 0, 255}}); }

bool writePictures(const fs::path& dir) {
    bool ok = true;
    ok &= writeFile(dir / "bitmaps/SAI.dib", encodeDib(quantize(makeDiceSheet(), 256)));
    ok &= writeFile(dir / "bitmaps/BG.dib", encodeDib(quantize(makeBoard(), 256)));
    ok &= writeFile(dir / "bitmaps/OPENING.dib", encodeDib(quantize(makeTitle(), 256)));
    ok &= writeFile(dir / "bitmaps/BOMBA.dib", encodeDib(quantize(makeBlast(), 256, {Rgb8{0, 0, 0}})));
    ok &= writeFile(dir / "bitmaps/EFFECT.dib", encodeDib(hudSheetImage()));
    const int widths[6] = {32, 36, 32, 32, 33, 32};
    for (int face = 0; face < 6; ++face) {
        int points = 10 * (face + 1);
        Canvas popup = makePointPopup(points, widths[face]);
        ok &= writeFile(dir / ("bitmaps/S" + std::to_string(points) + ".dib"),
                        encodeDib(quantize(popup, 256, {Rgb8{0, 0, 0}})));
    }
    return ok;
}

bool writeSounds(const fs::path& dir) {
    bool ok = true;
    // Total sizes match the catalogue; the INFO comment takes up the difference.
    ok &= writeFile(dir / "sounds/HIT.WAV", encodeWave({2, 22050, 16}, makeHitSound(), 71844));
    ok &= writeFile(dir / "sounds/MOVE.WAV", encodeWave({1, 11025, 8}, makeMoveSound(), 1876));
    ok &= writeFile(dir / "sounds/SELECT.WAV", encodeWave({1, 22050, 16}, makeSelectSound(), 5708));
    ok &= writeFile(dir / "sounds/START.WAV", encodeWave({1, 22050, 8}, makeStartSound(), 37804));
    ok &= writeFile(dir / "music/BGM01.MID", encodeMidi(480, makeTune()));
    return ok;
}

bool writeMovieAndIcon(const fs::path& dir) {
    bool ok = writeFile(dir / "movie/opening.avi", encodeAvi(makeOpeningMovie(), 2048000));
    IconArt icon = makeIcon();
    std::vector<std::uint8_t> image = encodeIconImage(icon.palette, icon.pixels, icon.transparent);
    ok &= writeFile(dir / "icon/icon_1.bin", image);
    ok &= writeFile(dir / "icon/group_118.bin", encodeIconGroup(std::uint32_t(image.size()), 1));
    // Not embedded: the desktop installs these into its icon theme.
    for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
        const fs::path path = dir / ("icon/desktop_" + std::to_string(size) + ".png");
        const std::vector<std::uint8_t> png = encodePng(makeDesktopIcon(size));
        if (png.empty()) std::fprintf(stderr, "artgen: libpng could not encode %s\n", path.string().c_str());
        ok &= !png.empty() && writeFile(path, png);
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vemol_artgen <output-folder>\n");
        return 2;
    }
    const fs::path dir = argv[1];
    bool ok = writePictures(dir);
    ok &= writeSounds(dir);
    ok &= writeMovieAndIcon(dir);
    return ok ? 0 : 1;
}
