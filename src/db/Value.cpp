// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Database.h"

#include <charconv>

namespace ostelvia::db {

Value Value::integer(std::int64_t v)
{
    Value r;
    r.kind_ = Kind::Integer;
    r.integer_ = v;
    return r;
}

Value Value::real(double v)
{
    Value r;
    r.kind_ = Kind::Real;
    r.real_ = v;
    return r;
}

Value Value::text(const QString& v)
{
    Value r;
    r.kind_ = Kind::Text;
    r.text_ = v;
    return r;
}

QString Value::toText() const
{
    switch (kind_) {
    case Kind::Null:
        return {};
    case Kind::Integer:
        return QString::number(integer_);
    case Kind::Real: {
        // Shortest text that reads back as the same number, in the C locale
        // whatever the user's locale.
        char buf[64];
        const auto res = std::to_chars(buf, buf + sizeof buf, real_);
        return QString::fromLatin1(buf, res.ptr - buf);
    }
    case Kind::Text:
        return text_;
    }
    return {};
}

double Value::toNumber() const
{
    switch (kind_) {
    case Kind::Null:
        return 0;
    case Kind::Integer:
        return static_cast<double>(integer_);
    case Kind::Real:
        return real_;
    case Kind::Text: {
        QByteArray t = text_.trimmed().toLatin1();
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
    if (kind_ != other.kind_)
        return false;
    switch (kind_) {
    case Kind::Null:
        return true;
    case Kind::Integer:
        return integer_ == other.integer_;
    case Kind::Real:
        return real_ == other.real_;
    case Kind::Text:
        return text_ == other.text_;
    }
    return false;
}

}  // namespace ostelvia::db
