#include "platform/HeapBlocks.h"

#include <cstdlib> // defines __GLIBC__ where the C library is glibc

#ifdef __GLIBC__
#include <malloc.h>
#endif

void keepLargeBlocksInHeap()
{
#ifdef __GLIBC__
    static const bool once = [] {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
        return true;
    }();
    (void)once;
#endif
}
