// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Database.h"

#include "db/JetText.h"

namespace ostelvia::db {

void TextSet::insert(const QString& text)
{
    keys_.insert(detail::jetKey(QStringView(text)));
}

bool TextSet::contains(const QString& text) const
{
    return keys_.count(detail::jetKey(QStringView(text))) > 0;
}

}  // namespace ostelvia::db
