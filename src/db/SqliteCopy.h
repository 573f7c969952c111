// SPDX-License-Identifier: GPL-3.0-or-later
// Copies tables from their source into the file's in-memory SQLite
// connection, column by column as SQL texts and criteria come to name them.
// Engine internals.
#pragma once

#include "db/TableSource.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct sqlite3;

namespace ostelvia::db::detail {

struct TableInfo;

// Thrown when SQLite fails on the copy (out of memory, in practice).
struct CopyFailed { };

// Creates the table with one column, which stands for the rowid (stored
// position + 1): a Jet name holds no control character, so it is never a
// field's. Fields are declared as SQL texts name them (addColumnSql): every
// row stores a type byte for each declared column, and the history has
// 100,000 rows and thirty fields of which a run names five.
std::string createTableSql(const TableInfo& info);
std::string addColumnSql(const TableInfo& info, int column);

// A column read in the same scan as a copy but not copied, and what takes
// its cell on every row.
struct AlsoRead {
    int column = -1;  // none
    std::function<void(const Cell&)> onCell;
};

// Copies the `wanted` columns (indexes into info.columns) of every row, in
// one transaction: appended as new rows when the table has none yet
// (`creating`), else set on the rows already there. Returns the number of
// rows read. A copy that fails half-way leaves nothing behind. Throws
// SourceFailure or CopyFailed.
std::int64_t copyColumns(sqlite3* db, TableSource& source, const TableInfo& info, const std::vector<int>& wanted,
                         bool creating, const AlsoRead& alsoRead = {});

}  // namespace ostelvia::db::detail
