// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/TextSet.h"

#include "db/JetText.h"

#include <string>

namespace ostelvia::db {

namespace {

QByteArray folded(const QString& text)
{
    std::u32string key;
    detail::jetKey(QStringView(text), key);
    return QByteArray(reinterpret_cast<const char*>(key.data()), static_cast<qsizetype>(key.size() * sizeof(char32_t)));
}

}  // namespace

void TextSet::insert(const QString& text)
{
    keys_.insert(folded(text));
}

bool TextSet::contains(const QString& text) const
{
    return !keys_.isEmpty() && keys_.contains(folded(text));
}

}  // namespace ostelvia::db
