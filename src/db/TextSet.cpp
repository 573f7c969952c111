// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Database.h"

#include "db/JetText.h"

namespace ostelvia::db {

void TextSet::insert(const QString& text)
{
    detail::jetKey(QStringView(text), scratch_);
    keys_.insert(scratch_);
}

bool TextSet::contains(const QString& text) const
{
    detail::jetKey(QStringView(text), scratch_);
    return keys_.find(std::u32string_view(scratch_)) != keys_.end();
}

}  // namespace ostelvia::db
