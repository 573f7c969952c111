// SPDX-License-Identifier: GPL-3.0-or-later
// How the process takes memory from the system.
#pragma once

#include <cstddef>

namespace ostelvia::db {

inline constexpr std::size_t kHugePage = std::size_t(2) << 20;

// Asks for huge pages for the whole ones inside the range, where the
// system has them; the ends keep small pages.
void askForHugePages(void* begin, std::size_t size);

// Lets the first megabytes of the heap come in 2 MB pages, and keeps blocks
// below 1 MB on the heap, where freed memory is used again. On a virtual
// machine every 4 KB page a process touches for the first time costs a
// fault of some 10 microseconds: a third of the code list went into them.
// Call once, first thing in main(); harmless where huge pages are off.
void preferHugePagesForHeap();

}  // namespace ostelvia::db
