// SPDX-License-Identifier: GPL-3.0-or-later
#include "checks/NameMatch.h"

#include "text/Blanks.h"

#include <algorithm>
#include <utility>

namespace ostelvia::checks {

using text::trimBlanks;

QString matchKey(const QString& name)
{
    const QString decomposed = name.normalized(QString::NormalizationForm_D);
    QString key;
    key.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.isLetterOrNumber())
            key.append(c.toUpper());
    }
    return key;
}

int editDistance(const QString& a, const QString& b, int limit)
{
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    if (std::abs(n - m) > limit)
        return limit + 1;
    // Three rows of the table: two back for transpositions.
    std::vector<int> before(static_cast<size_t>(m + 1));
    std::vector<int> previous(static_cast<size_t>(m + 1));
    std::vector<int> current(static_cast<size_t>(m + 1));
    for (qsizetype j = 0; j <= m; ++j)
        previous[static_cast<size_t>(j)] = static_cast<int>(j);
    for (qsizetype i = 1; i <= n; ++i) {
        current[0] = static_cast<int>(i);
        int rowBest = current[0];
        for (qsizetype j = 1; j <= m; ++j) {
            const size_t J = static_cast<size_t>(j);
            const int cost = a.at(i - 1) == b.at(j - 1) ? 0 : 1;
            int best = std::min({previous[J] + 1, current[J - 1] + 1, previous[J - 1] + cost});
            if (i > 1 && j > 1 && a.at(i - 1) == b.at(j - 2) && a.at(i - 2) == b.at(j - 1))
                best = std::min(best, before[J - 2] + 1);
            current[J] = best;
            rowBest = std::min(rowBest, best);
        }
        if (rowBest > limit)
            return limit + 1;
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return std::min(previous[static_cast<size_t>(m)], limit + 1);
}

NameIndex::NameIndex(const std::vector<CodeEntry>& entries)
{
    entries_.reserve(entries.size());
    for (const CodeEntry& entry : entries) {
        entries_.push_back({trimBlanks(entry.sigla), trimBlanks(entry.descrizione), matchKey(entry.descrizione),
                            matchKey(entry.sigla)});
    }
}

std::vector<const NameIndex::Entry*> NameIndex::matchingNames(const QString& key) const
{
    std::vector<const Entry*> equal;
    if (key.isEmpty())
        return equal;
    for (const Entry& entry : entries_) {
        if (entry.nameKey == key)
            equal.push_back(&entry);
    }
    if (!equal.empty())
        return equal;

    const int allowed = allowedEdits(key);
    std::vector<std::pair<int, const Entry*>> near;
    if (allowed == 0)
        return {};
    for (const Entry& entry : entries_) {
        const int distance = editDistance(key, entry.nameKey, allowed);
        if (distance <= allowed)
            near.emplace_back(distance, &entry);
    }
    std::stable_sort(near.begin(), near.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<const Entry*> found;
    found.reserve(near.size());
    for (const auto& [distance, entry] : near)
        found.push_back(entry);
    return found;
}

namespace {

// Appends the text unless already there; false once the list is full.
bool addDistinct(QStringList& list, const QString& text, int limit)
{
    if (!text.isEmpty() && !list.contains(text))
        list.append(text);
    return list.size() < limit;
}

}  // namespace

QStringList NameIndex::similarNames(const QString& typed, int limit) const
{
    QStringList names;
    for (const Entry* entry : matchingNames(matchKey(typed))) {
        if (!addDistinct(names, entry->descrizione, limit))
            break;
    }
    return names;
}

QStringList NameIndex::codesFor(const QString& typed, int limit) const
{
    static const QString kDash = QStringLiteral(" \u2014 ");
    QStringList codes;
    const QString key = matchKey(typed);
    if (key.isEmpty())
        return codes;
    auto add = [&](const Entry& entry) {
        return entry.sigla.isEmpty() || addDistinct(codes, entry.sigla + kDash + entry.descrizione, limit);
    };
    for (const Entry& entry : entries_) {
        if (entry.codeKey == key && !add(entry))
            return codes;
    }
    for (const Entry* entry : matchingNames(key)) {
        if (!add(*entry))
            break;
    }
    return codes;
}

}  // namespace ostelvia::checks
