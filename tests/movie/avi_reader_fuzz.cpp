// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer entry for the clip reader: any bytes are read, and a clip that is accepted is
// decoded frame by frame, so every size check and the RLE8 decoder get exercised.
#include <cstddef>
#include <cstdint>
#include <span>

#include "app/avi_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const vemol::AviReadResult result = vemol::ReadAviClip(std::span(data, size));
    if (!result.clip) return 0;
    const vemol::AviClip& clip = *result.clip;
    // Huge pictures are legal but only slow the search down; their decoding is the same code.
    if (std::size_t(clip.width) * std::size_t(clip.height) > 512 * 512) return 0;
    vemol::AviFrameDecoder decoder(clip);
    for (int i = 0; i < clip.frameCount(); ++i) decoder.advanceTo(i);
    decoder.advanceTo(0);
    return 0;
}
