// Checks on the raw structure of a Jet file that libmdb 1.0 trusts blindly:
// a damaged row must fail here rather than send libmdb reading outside its
// page buffer. Engine internals.
#pragma once

#include <cstddef>

namespace ostelvia::db::detail {

// A Jet data row as libmdb cracks it: at `start` its column count (one byte
// in Jet 3, two in Jet 4), at its end the null mask, before that (when the
// table has variable-length columns) the count and the offsets of those
// columns. True when all of that lies inside the row and the row inside the
// page.
bool rowFitsPage(const unsigned char* page, std::size_t pageSize, bool jet3, int start, std::size_t size,
                 bool variableColumns);

}  // namespace ostelvia::db::detail
