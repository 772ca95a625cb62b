// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// PNG writing through libpng (and zlib under it): 8-bit RGBA, no metadata.
#include <png.h>

#include <csetjmp>

#include "tools/artgen/containers.h"

namespace artgen {
namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

void FlushNothing(png_structp) {}

}  // namespace

std::vector<std::uint8_t> encodePng(const RgbaImage& image) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};  // the caller's write of an empty file fails the run
    }
    png_set_write_fn(png, &out, AppendBytes, FlushNothing);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::size_t stride = std::size_t(image.width) * 4;
    for (int y = 0; y < image.height; ++y)
        png_write_row(png, const_cast<png_bytep>(image.rgba.data() + std::size_t(y) * stride));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

}  // namespace artgen
