// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DecodedRow.h"

namespace ostelvia::db::detail {

Value valueFor(Column::Type type, const Cell& c)
{
    switch (c.kind) {
    case Value::Kind::Null:
        return {};
    case Value::Kind::Integer:
        if (type == Column::Type::Real)
            return Value::real(static_cast<double>(c.integer));
        if (type == Column::Type::Text)
            return Value::text(Value::integer(c.integer).toText());
        return Value::integer(c.integer);
    case Value::Kind::Real:
        if (type == Column::Type::Integer)
            return Value::integer(static_cast<std::int64_t>(c.real));
        if (type == Column::Type::Text)
            return Value::text(Value::real(c.real).toText());
        return Value::real(c.real);
    case Value::Kind::Text: {
        const QString text =
            QString::fromUtf8(c.text.data() ? c.text.data() : "", static_cast<qsizetype>(c.text.size()));
        if (type == Column::Type::Integer)
            return Value::integer(static_cast<std::int64_t>(Value::text(text).toNumber()));
        if (type == Column::Type::Real)
            return Value::real(Value::text(text).toNumber());
        return Value::text(text);
    }
    }
    return {};
}

}  // namespace ostelvia::db::detail
