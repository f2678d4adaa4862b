#include "platform/HeapBlocks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

// A search's planes and a sequence's frames, up to 24 MB for the largest FITS frames, must come
// from the heap, where the pages of the ones released serve the next; mapped on their own, each
// is faulted in afresh.
TEST(HeapBlocks, LargeBlocksComeFromTheHeap)
{
#if defined(__SANITIZE_ADDRESS__) || !defined(__GLIBC__)
    GTEST_SKIP() << "the block setting is glibc's own allocator's";
#else
    keepLargeBlocksInHeap();
    const size_t mappedBefore = mallinfo2().hblks;
    std::vector<float> plane(6 * 1024 * 1024);
    plane.back() = 1;
    EXPECT_EQ(mallinfo2().hblks, mappedBefore);
#endif
}
