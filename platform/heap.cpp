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
