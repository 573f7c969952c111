// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Value.h"

#include <charconv>

namespace ostelvia::db {

Value Value::integer(std::int64_t v)
{
    Value r;
    r.value_ = v;
    return r;
}

Value Value::real(double v)
{
    Value r;
    r.value_ = v;
    return r;
}

Value Value::text(const QString& v)
{
    Value r;
    r.value_ = v;
    return r;
}

QString Value::toText() const
{
    switch (kind()) {
    case Kind::Null:
        return {};
    case Kind::Integer:
        return QString::number(std::get<std::int64_t>(value_));
    case Kind::Real: {
        // Shortest text that reads back as the same number, in the C locale
        // whatever the user's locale.
        char buf[64];
        const auto res = std::to_chars(buf, buf + sizeof buf, std::get<double>(value_));
        return QString::fromLatin1(buf, res.ptr - buf);
    }
    case Kind::Text:
        return std::get<QString>(value_);
    }
    return {};
}

double Value::toNumber() const
{
    switch (kind()) {
    case Kind::Null:
        return 0;
    case Kind::Integer:
        return static_cast<double>(std::get<std::int64_t>(value_));
    case Kind::Real:
        return std::get<double>(value_);
    case Kind::Text: {
        QByteArray t = std::get<QString>(value_).trimmed().toLatin1();
        if (t.startsWith('+'))
            t.remove(0, 1);
        double d = 0;
        const char* end = t.constData() + t.size();
        const auto res = std::from_chars(t.constData(), end, d);
        return (res.ec == std::errc() && res.ptr == end && !t.isEmpty()) ? d : 0;
    }
    }
    return 0;
}

bool Value::operator==(const Value& other) const
{
    return value_ == other.value_;  // a NaN differs even from itself
}

}  // namespace ostelvia::db
