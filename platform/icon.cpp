// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/icon.h"

#include <cstdint>

namespace vemol::platform {
namespace {

std::uint32_t ReadU32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }

constexpr int kSize = 32;
constexpr std::size_t kHeader = 40, kPalette = 16 * 4, kColour = kSize * kSize / 2, kMaskRow = 4;
constexpr std::size_t kImageBytes = kHeader + kPalette + kColour + kMaskRow * kSize;

// The desktop icon set's PNGs, placed in the program by window_icons.S.
#define VEMOL_WINDOW_ICON(size) \
    extern "C" const unsigned char vemol_window_icon_##size[], vemol_window_icon_##size##_end[];
VEMOL_WINDOW_ICON(16)
VEMOL_WINDOW_ICON(24)
VEMOL_WINDOW_ICON(32)
VEMOL_WINDOW_ICON(48)
VEMOL_WINDOW_ICON(64)
VEMOL_WINDOW_ICON(128)
VEMOL_WINDOW_ICON(256)
#undef VEMOL_WINDOW_ICON

struct EmbeddedPng {
    const unsigned char* begin;
    const unsigned char* end;
};

GdkPixbuf* DecodePng(const EmbeddedPng& png) {
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("png", nullptr);
    if (!loader) return nullptr;
    GdkPixbuf* pixbuf = nullptr;
    if (gdk_pixbuf_loader_write(loader, png.begin, static_cast<gsize>(png.end - png.begin), nullptr) &&
        gdk_pixbuf_loader_close(loader, nullptr)) {
        pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
        if (pixbuf) g_object_ref(pixbuf);
    }
    g_object_unref(loader);
    return pixbuf;
}

}  // namespace

GList* LoadWindowIcons() {
    const EmbeddedPng pngs[] = {
        {vemol_window_icon_16, vemol_window_icon_16_end},   {vemol_window_icon_24, vemol_window_icon_24_end},
        {vemol_window_icon_32, vemol_window_icon_32_end},   {vemol_window_icon_48, vemol_window_icon_48_end},
        {vemol_window_icon_64, vemol_window_icon_64_end},   {vemol_window_icon_128, vemol_window_icon_128_end},
        {vemol_window_icon_256, vemol_window_icon_256_end},
    };
    GList* icons = nullptr;
    for (const EmbeddedPng& png : pngs)
        if (GdkPixbuf* icon = DecodePng(png)) icons = g_list_append(icons, icon);
    return icons;
}

GdkPixbuf* LoadProgramIcon(const resources::Catalogue& catalogue) {
    auto bytes = catalogue.find("ICON", 1);
    if (!bytes || bytes->size() < kImageBytes) return nullptr;
    const std::uint8_t* p = bytes->data();
    if (ReadU32(p) != kHeader || ReadU32(p + 4) != kSize || ReadU32(p + 8) != 2 * kSize || p[14] != 4) return nullptr;
    const std::uint8_t* palette = p + kHeader;
    const std::uint8_t* colour = palette + kPalette;
    const std::uint8_t* mask = colour + kColour;
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, kSize, kSize);
    guchar* out = gdk_pixbuf_get_pixels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    for (int y = 0; y < kSize; y++) {
        const int row = kSize - 1 - y;  // rows are stored bottom-up
        for (int x = 0; x < kSize; x++) {
            const std::uint8_t pair = colour[row * (kSize / 2) + x / 2];
            const int index = (x % 2 == 0) ? pair >> 4 : pair & 0xF;
            const bool transparent = (mask[row * kMaskRow + x / 8] >> (7 - x % 8)) & 1;
            guchar* px = out + y * stride + x * 4;
            px[0] = palette[index * 4 + 2];
            px[1] = palette[index * 4 + 1];
            px[2] = palette[index * 4 + 0];
            px[3] = transparent ? 0 : 255;
        }
    }
    return pixbuf;
}

}  // namespace vemol::platform
