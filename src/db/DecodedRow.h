// SPDX-License-Identifier: GPL-3.0-or-later
// A row decoded from its source, packed. Engine internals.
#pragma once

#include "db/TableSource.h"
#include "db/Value.h"

#include <QString>

#include <memory>
#include <vector>

namespace ostelvia::db::detail {

// The fields of one row that have been decoded: those its table's readers
// have asked for so far. A record set holds its current row only, so the
// values are kept as they are: a field read costs no copy of its text.
struct DecodedRow {
    explicit DecodedRow(size_t columns) : fields(columns), decoded(columns, false) { }

    void set(size_t column, Value value)
    {
        fields[column] = std::move(value);
        decoded[column] = true;
    }
    const Value& get(size_t column) const { return fields[column]; }

    std::vector<Value> fields;
    std::vector<bool> decoded;
};
using RowPtr = std::shared_ptr<const DecodedRow>;

// A cell as SQLite would have stored it in a column of that type, so that a
// field reads the same whether SQLite or the source hands it over.
Value valueFor(Column::Type type, const Cell& cell);

}  // namespace ostelvia::db::detail
