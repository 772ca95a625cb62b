// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/heap.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vemol::platform {

void ReturnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

}  // namespace vemol::platform
