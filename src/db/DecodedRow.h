// SPDX-License-Identifier: GPL-3.0-or-later
// A row decoded from its source, packed. Engine internals.
#pragma once

#include "db/Database.h"
#include "db/TableSource.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace ostelvia::db::detail {

// Long values (memos) are left out until a field of theirs is read: the
// export never reads them. Packed: a Value per field with a text of its own
// would take three times the memory.
struct DecodedRow {
    explicit DecodedRow(size_t columns) : fields(columns) { }

    void set(size_t column, const Value& value);
    Value get(size_t column) const;

    struct Slot {
        union {
            std::int64_t integer;
            double real;
            std::int32_t textLength;
        };
        std::int32_t textOffset = 0;
        Value::Kind kind = Value::Kind::Null;
    };
    std::vector<Slot> fields;
    QString texts;          // every text value, back to back
    bool complete = false;  // long values decoded too
};
using RowPtr = std::shared_ptr<const DecodedRow>;

// A cell as SQLite would have stored it in a column of that type, so that a
// field reads the same whether SQLite or the source hands it over.
Value valueFor(Column::Type type, const Cell& cell);

}  // namespace ostelvia::db::detail
