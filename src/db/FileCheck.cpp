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

}  // namespace ostelvia::db::detail
