// SPDX-License-Identifier: GPL-3.0-or-later
// What the database layer hands over: field values, the shape of an
// in-memory table, and its one kind of failure.
#pragma once

#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

#include "text/Error.h"

namespace ostelvia::db {

// Every failure of the database layer: missing or unreadable file, a file
// that is not an Access database, a missing table or field, an SQL text or
// criteria the engine rejects. message() is plain Italian and names the file
// (and the table or field).
class DbError : public Error {
public:
    using Error::Error;
};

// A field value: Null, a whole number, a real number or a text. Jet's
// Byte, Integer and Long read as whole numbers, Yes/No as -1 (yes) or 0;
// Single, Double, Currency and Decimal as real numbers; Text and Memo as
// text, Date/Time as the text "yyyy-mm-dd hh:mm:ss".
class Value {
public:
    enum class Kind { Null, Integer, Real, Text };

    Value() = default;
    static Value integer(std::int64_t v);
    static Value real(double v);
    static Value text(const QString& v);

    Kind kind() const { return static_cast<Kind>(value_.index()); }
    bool isNull() const { return kind() == Kind::Null; }

    // The value as Access shows it: a Long 1234 is "1234", a real number in
    // the C locale without trailing zeros; Null is the empty text.
    QString toText() const;

    // A number used as a number; Null is 0, a text is read as a number
    // (0 when it is none).
    double toNumber() const;

    bool operator==(const Value& other) const;

private:
    // In the order of Kind. Holding one alternative at a time keeps a value
    // at 32 bytes: a look-up table holds a column of them for every row.
    std::variant<std::monostate, std::int64_t, double, QString> value_;
};

// Column types of an in-memory table (tests): numbers or text.
struct Column {
    enum class Type { Integer, Real, Text };
    QString name;
    Type type = Type::Text;
};

// A whole table held in memory, for engine tests of cases no fixture has.
struct TableData {
    QString name;
    std::vector<Column> columns;
    std::vector<std::vector<Value>> rows;  // stored order
};

}  // namespace ostelvia::db
