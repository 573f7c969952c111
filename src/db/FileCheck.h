// SPDX-License-Identifier: GPL-3.0-or-later
// Checks on the raw structure of a Jet file that libmdb 1.0 trusts blindly:
// a damaged row must fail here rather than send libmdb reading outside its
// page buffer. Engine internals.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ostelvia::db::detail {

// A Jet data row as libmdb cracks it: at `start` its column count (one byte
// in Jet 3, two in Jet 4), at its end the null mask, before that (when the
// table has variable-length columns) the count and the offsets of those
// columns. True when all of that lies inside the row and the row inside the
// page.
bool rowFitsPage(const unsigned char* page, std::size_t pageSize, bool jet3, int start, std::size_t size,
                 bool variableColumns);

// The first four bytes of a memo value: kept in the row, on one other page,
// or on a chain of pages. libmdb hands back an unwritten buffer for any
// other kind.
bool memoKindKnown(std::uint32_t header);

// A memo kept outside its row: `pointer` (page << 8 | row, the value's
// bytes 4 to 7) names a row of a data page; a chain (header top byte 0)
// goes on through the first four bytes of each row. True when every row
// named lies inside a data page of `file` and the chain ends.
bool memoPagesSound(const unsigned char* file, std::size_t fileSize, std::size_t pageSize, bool jet3,
                    std::uint32_t header, std::uint32_t pointer);

}  // namespace ostelvia::db::detail
