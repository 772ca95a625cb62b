// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/artgen/text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>
#include <map>

namespace artgen {
namespace {

const char* fontFile(Face face) {
    switch (face) {
        case Face::SansBold: return VEMOL_ARTGEN_FONT_DIR "/DejaVuSans-Bold.ttf";
        case Face::SansBoldOblique: return VEMOL_ARTGEN_FONT_DIR "/DejaVuSans-BoldOblique.ttf";
        case Face::SansBook: return VEMOL_ARTGEN_FONT_DIR "/DejaVuSans.ttf";
    }
    return "";
}

FT_Library library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) {
            std::fprintf(stderr, "artgen: FreeType does not start\n");
            std::exit(1);
        }
        return l;
    }();
    return lib;
}

FT_Face openFace(Face face) {
    static std::map<Face, FT_Face> faces;
    auto it = faces.find(face);
    if (it != faces.end()) return it->second;
    FT_Face f = nullptr;
    if (FT_New_Face(library(), fontFile(face), 0, &f) != 0) {
        std::fprintf(stderr, "artgen: cannot open the font %s (install fonts-dejavu-core)\n", fontFile(face));
        std::exit(1);
    }
    faces[face] = f;
    return f;
}

}  // namespace

TextMask renderText(Face face, int pixelSize, std::string_view text, int letterSpacing) {
    FT_Face f = openFace(face);
    FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(pixelSize));
    const int ascent = static_cast<int>(f->size->metrics.ascender >> 6) + 2;
    const int descent = static_cast<int>(-(f->size->metrics.descender >> 6)) + 2;
    const int pad = pixelSize;
    int width = pad * 2;
    for (char c : text) {
        FT_Load_Char(f, static_cast<unsigned char>(c), FT_LOAD_DEFAULT);
        width += static_cast<int>(f->glyph->advance.x >> 6) + letterSpacing;
    }
    Mask full(width, ascent + descent);
    int pen = pad;
    FT_UInt previous = 0;
    for (char c : text) {
        FT_UInt index = FT_Get_Char_Index(f, static_cast<unsigned char>(c));
        if (previous && FT_HAS_KERNING(f)) {
            FT_Vector kern;
            FT_Get_Kerning(f, previous, index, FT_KERNING_DEFAULT, &kern);
            pen += static_cast<int>(kern.x >> 6);
        }
        FT_Load_Glyph(f, index, FT_LOAD_RENDER);
        const FT_Bitmap& bm = f->glyph->bitmap;
        for (unsigned y = 0; y < bm.rows; ++y)
            for (unsigned x = 0; x < bm.width; ++x) {
                int tx = pen + f->glyph->bitmap_left + int(x);
                int ty = ascent - f->glyph->bitmap_top + int(y);
                if (tx < 0 || ty < 0 || tx >= full.width || ty >= full.height) continue;
                float a = bm.buffer[y * bm.pitch + x] / 255.0f;
                full.ref(tx, ty) = std::max(full.ref(tx, ty), a);
            }
        pen += static_cast<int>(f->glyph->advance.x >> 6) + letterSpacing;
        previous = index;
    }
    int x0 = full.width, y0 = full.height, x1 = -1, y1 = -1;
    for (int y = 0; y < full.height; ++y)
        for (int x = 0; x < full.width; ++x)
            if (full.at(x, y) > 0)
                x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    TextMask out;
    if (x1 < 0) return out;
    out.mask = Mask(x1 - x0 + 1, y1 - y0 + 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) out.mask.ref(x - x0, y - y0) = full.at(x, y);
    out.baseline = ascent - y0;
    out.inkLeft = x0 - pad;
    return out;
}

int fitPixelSize(Face face, std::string_view text, int maxWidth, int maxHeight, int letterSpacing) {
    int best = 4;
    for (int size = 4; size <= 400; ++size) {
        TextMask t = renderText(face, size, text, letterSpacing);
        if (t.mask.width > maxWidth || t.mask.height > maxHeight) break;
        best = size;
    }
    return best;
}

Mask downsample(const Mask& m, int factor) {
    Mask out((m.width + factor - 1) / factor, (m.height + factor - 1) / factor);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            float sum = 0;
            for (int dy = 0; dy < factor; ++dy)
                for (int dx = 0; dx < factor; ++dx) sum += m.at(x * factor + dx, y * factor + dy);
            out.ref(x, y) = sum / float(factor * factor);
        }
    return out;
}

}  // namespace artgen
