// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Just enough of HTTP to tell when a request has arrived whole, read as leniently as
// CivetWeb reads it: the game ends lines with a bare LF, sends no Host header and writes
// "Content-length:" without a space.
#include <string>
#include <string_view>

namespace vemol::ranking {

// True once the header has ended and the body announced by Content-Length is all there,
// or once it is clear the request will be refused anyway (a length it cannot read, a body
// over LargestBodyOf). A POST without a length ends when the client closes.
bool IsRequestComplete(std::string_view received);

// The largest body the request's path takes: a replay upload's, else 8 KiB.
long long LargestBodyOf(std::string_view received);

struct RequestLine {
    std::string method;
    std::string path;
};
// The method and path of the first line, as far as they have arrived.
RequestLine ReadRequestLine(std::string_view received);

}  // namespace vemol::ranking
