#include "platform/FreedMemory.h"

#include <cstddef> // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace itm {

void MapLargeBlocksApart()
{
#if defined(__GLIBC__)
    // A fixed bound also stops the library from moving it; the top of the
    // heap is given back from twice that size on (the library had raised
    // that bound with the other).
    [[maybe_unused]] static const bool set
        = mallopt(M_MMAP_THRESHOLD, 2 * 1024 * 1024) != 0 && mallopt(M_TRIM_THRESHOLD, 4 * 1024 * 1024) != 0;
#endif
}

} // namespace itm
