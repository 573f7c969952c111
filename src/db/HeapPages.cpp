// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/HeapPages.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdlib>

namespace ostelvia::db {

namespace {

// Enough for all the small objects of a code list or a check, and few
// enough that a whole huge page left half used costs little.
constexpr std::uintptr_t kHugeHeap = std::uintptr_t(8) << 20;
constexpr std::size_t kLargeBlock = std::size_t(1) << 20;

std::uintptr_t heapEnd()
{
    return reinterpret_cast<std::uintptr_t>(sbrk(0));
}

}  // namespace

void askForHugePages(void* begin, std::size_t size)
{
    const auto from = reinterpret_cast<std::uintptr_t>(begin);
    const std::uintptr_t first = (from + kHugePage - 1) & ~std::uintptr_t(kHugePage - 1);
    const std::uintptr_t last = (from + size) & ~std::uintptr_t(kHugePage - 1);
    if (last > first)
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

void preferHugePagesForHeap()
{
    // The heap grows by the request plus this pad; glibc also keeps the pad
    // when it gives memory back, so the region below stays the heap's.
    if (mallopt(M_TOP_PAD, static_cast<int>(kHugeHeap)) == 0)
        return;
    // Setting the pad also stops glibc raising its mmap threshold as large
    // blocks are freed. Fixed here instead, above SQLite's sort buffers of
    // half a megabyte: mapped anew each time, a month's dozen of them cost
    // 1,500 faults, while from the heap they reuse the same memory.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kLargeBlock));
    // Blocks below the mmap threshold come from the heap: take them until
    // it grows once, which it then does by the pad.
    const std::uintptr_t start = heapEnd();
    std::array<void*, 8> blocks{};
    for (void*& block : blocks) {
        block = std::malloc(std::size_t(120) << 10);
        if (!block || heapEnd() != start)
            break;
    }
    for (void* block : blocks)
        std::free(block);
    askForHugePages(reinterpret_cast<void*>(start), heapEnd() - start);
}

}  // namespace ostelvia::db
