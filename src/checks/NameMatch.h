// SPDX-License-Identifier: GPL-3.0-or-later
// Which names of a code table a clerk probably meant when a lookup failed:
// names equal once letter case, accents, apostrophes, hyphens, dots and
// blanks are set aside, otherwise the nearest by edit distance when it is
// close enough to be a typo.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace ostelvia::checks {

// The comparable form of a name: upper-case letters and digits only, accents
// dropped ("Forlì" and "FORLI'" both give "FORLI", "SANT'ANGELO" and
// "SANT ANGELO" both give "SANTANGELO").
QString matchKey(const QString& name);

// Edit distance in which a transposition of two neighbouring letters counts
// as one edit (optimal string alignment). Stops counting past `limit` and
// then returns limit + 1.
int editDistance(const QString& a, const QString& b, int limit);

// Edits a typed key may be away from a name: about one per four letters.
inline int allowedEdits(const QString& key)
{
    return static_cast<int>(key.size() / 4);
}

// One row of a code table.
struct CodeEntry {
    QString sigla;
    QString descrizione;
};

// The rows of one code-table selection with their keys, built once and asked
// for every failed lookup on that selection.
class NameIndex {
public:
    explicit NameIndex(const std::vector<CodeEntry>& entries);

    // Up to `limit` stored names (trimmed) for a name that was not found.
    QStringList similarNames(const QString& typed, int limit = 3) const;
    // Up to `limit` "code — name" texts for a code that was not found: codes
    // equal to it once blanks and case are set aside, then the codes of the
    // names it resembles (the clerk typed a name instead of its code).
    QStringList codesFor(const QString& typed, int limit = 3) const;

    qsizetype size() const { return entries_.size(); }

private:
    struct Entry {
        QString sigla;
        QString descrizione;
        QString nameKey;
        QString codeKey;
    };
    // Entries whose name matches the key: the equal ones, else the nearest.
    std::vector<const Entry*> matchingNames(const QString& key) const;

    std::vector<Entry> entries_;
};

}  // namespace ostelvia::checks
