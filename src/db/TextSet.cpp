// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Database.h"

#include "db/JetText.h"

namespace ostelvia::db {

void TextSet::insert(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    keys_.insert(detail::jetKey(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size()))));
}

bool TextSet::contains(const QString& text) const
{
    const QByteArray utf8 = text.toUtf8();
    return keys_.count(detail::jetKey(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())))) > 0;
}

}  // namespace ostelvia::db
