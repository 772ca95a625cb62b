// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a few small valid clips into a folder, as the starting corpus of avi_reader_fuzz.
#include <cstdio>
#include <string>

#include "clip_builder.h"

using namespace vemol::test;

namespace {

bool Write(const std::string& path, const ByteVector& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus-folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    ClipLayout plain;
    plain.width = 5;
    plain.height = 3;
    plain.palette = TestPalette(16);
    plain.frames = {PackRows({{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}, {11, 12, 13, 14, 15}}), {}};
    ClipLayout topDown = plain;
    topDown.height = -3;
    topDown.recLists = true;
    ClipLayout rle = plain;
    rle.compression = 1;
    rle.audioStreamFirst = true;
    rle.paletteChanges = true;
    rle.frames = {{5, 1, 0, 0, 2, 2, 0, 3, 3, 4, 5, 0, 0, 0, 0, 4, 6, 7, 8, 9, 0, 1}, {0, 2, 1, 1, 2, 11, 0, 1}};
    bool ok = Write(folder + "/plain.avi", BuildClip(plain)) && Write(folder + "/top_down.avi", BuildClip(topDown)) &&
              Write(folder + "/rle8.avi", BuildClip(rle));
    if (!ok) std::fprintf(stderr, "cannot write the seed clips into %s\n", folder.c_str());
    return ok ? 0 : 1;
}
