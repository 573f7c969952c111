// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/FileCheck.h"

namespace ostelvia::db::detail {

namespace {

unsigned readUnsigned(const unsigned char* p, bool jet3)
{
    return jet3 ? p[0] : unsigned(p[0]) | unsigned(p[1]) << 8;
}

}  // namespace

bool rowFitsPage(const unsigned char* page, std::size_t pageSize, bool jet3, int start, std::size_t size,
                 bool variableColumns)
{
    const std::size_t countSize = jet3 ? 1 : 2;
    if (start < 0 || static_cast<std::size_t>(start) >= pageSize || size > pageSize - static_cast<std::size_t>(start))
        return false;
    if (size < countSize)
        return false;
    const unsigned char* row = page + start;
    const std::size_t columns = readUnsigned(row, jet3);
    const std::size_t nullMask = (columns + 7) / 8;
    if (countSize + nullMask > size)
        return false;
    if (!variableColumns)
        return true;
    // The variable-column count just before the null mask, then one offset
    // per column plus the end offset before it (Jet 3 adds jump bytes that
    // libmdb reads from within the same area).
    std::size_t used = countSize + nullMask + countSize;
    if (used > size)
        return false;
    const std::size_t variable = readUnsigned(row + size - nullMask - countSize, jet3);
    if (variable > columns)
        return false;
    used += (variable + 1) * countSize;
    return used <= size;
}

bool memoKindKnown(std::uint32_t header)
{
    return (header & 0x80000000u) || (header & 0x40000000u) || (header & 0xff000000u) == 0;
}

bool memoPagesSound(const unsigned char* file, std::size_t fileSize, std::size_t pageSize, bool jet3,
                    std::uint32_t header, std::uint32_t pointer)
{
    if (pageSize == 0)
        return false;
    const std::size_t rowCountAt = jet3 ? 8 : 12;
    const bool chain = !(header & 0x40000000u);
    // A chain longer than the file has pages loops.
    for (std::size_t step = 0; step <= fileSize / pageSize; ++step) {
        const std::size_t pageNumber = pointer >> 8;
        const std::size_t row = pointer & 0xffu;
        if (pageNumber == 0 || pageNumber >= fileSize / pageSize)
            return false;
        const unsigned char* page = file + pageNumber * pageSize;
        if (page[0] != 0x01)
            return false;
        const std::size_t rows = readUnsigned(page + rowCountAt, false);
        if (row >= rows || rowCountAt + 2 + 2 * (row + 1) > pageSize)
            return false;
        const std::size_t start = readUnsigned(page + rowCountAt + 2 + 2 * row, false) & 0x1fff;
        const std::size_t next = row == 0 ? pageSize : readUnsigned(page + rowCountAt + 2 * row, false) & 0x1fff;
        if (start >= pageSize || next > pageSize || start > next)
            return false;
        if (!chain)
            return true;
        if (next - start < 4)
            return false;
        pointer = std::uint32_t(page[start]) | std::uint32_t(page[start + 1]) << 8
            | std::uint32_t(page[start + 2]) << 16 | std::uint32_t(page[start + 3]) << 24;
        if (pointer == 0)
            return true;
    }
    return false;
}

}  // namespace ostelvia::db::detail
