// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Database.h"

#include "db/JetText.h"

#include <algorithm>
#include <utility>

namespace ostelvia::db {

std::size_t TextSet::hashOf(std::u32string_view key)
{
    return std::hash<std::u32string_view>{}(key) | 1;  // never 0, the empty slot's
}

std::size_t TextSet::slotFor(std::u32string_view key, std::size_t hash) const
{
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot& slot = slots_[at];
        if (slot.hash == 0 || (slot.hash == hash && std::u32string_view(keys_).substr(slot.start, slot.length) == key))
            return at;
    }
}

void TextSet::grow()
{
    std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(std::max<std::size_t>(64, slots_.size() * 2)));
    for (const Slot& slot : old)
        if (slot.hash != 0)
            slots_[slotFor(std::u32string_view(keys_).substr(slot.start, slot.length), slot.hash)] = slot;
}

void TextSet::insert(const QString& text)
{
    if ((count_ + 1) * 2 > slots_.size())
        grow();
    detail::jetKey(QStringView(text), scratch_);
    const std::size_t hash = hashOf(scratch_);
    Slot& slot = slots_[slotFor(scratch_, hash)];
    if (slot.hash != 0)
        return;
    slot = {hash, static_cast<std::uint32_t>(keys_.size()), static_cast<std::uint32_t>(scratch_.size())};
    keys_ += scratch_;
    ++count_;
}

bool TextSet::contains(const QString& text) const
{
    if (count_ == 0)
        return false;
    detail::jetKey(QStringView(text), scratch_);
    return slots_[slotFor(scratch_, hashOf(scratch_))].hash != 0;
}

}  // namespace ostelvia::db
