// SPDX-License-Identifier: GPL-3.0-or-later
// What the engine knows of one table of a loaded file. Engine internals.
#pragma once

#include "db/TableSource.h"
#include "db/Value.h"

#include <QHash>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace ostelvia::db::detail {

// A table as far as it is copied into SQLite: the rowid of every row (its
// stored position + 1) and only the columns some SQL text or criteria named.
// Whole rows are decoded from the source when a field is read.
struct TableInfo {
    QString name;  // as stored
    std::string quotedName;
    std::vector<SourceColumn> columns;
    QHash<QString, int> columnByName;        // as spelled in the file: no folding on the common path
    QHash<QString, int> columnByFoldedName;  // as callers may spell it
    std::vector<bool> declared;              // per column: declared in SQLite
    std::vector<bool> loaded;                // per column: copied into SQLite
    bool rowsLoaded = false;                 // every row's rowid is in SQLite
    std::int64_t rowCount = 0;
    int findsRun = 0;
    std::vector<bool> indexed, trimIndexed;  // per column: an index on it, on Trim() of it
    // Per column, its value on every row by rowid (index 0 unused), once a
    // field of a look-up table has been read alone: empty until then.
    std::vector<std::vector<Value>> heldColumns;
    // Per column: a field of it has been read from a decoded row. A card
    // is read for 24 of its 30 fields; decoding only those, which the first
    // card tells, spares the rest on every other card.
    std::vector<bool> read;

    // -1 when the table has no such column.
    int column(const QString& name) const
    {
        const QChar* const at = name.constData();
        RecentName& recent = recentNames[(reinterpret_cast<std::uintptr_t>(at) / 16) % kRecentNames];
        if (recent.at == at && recent.name.size() == name.size()
            && std::memcmp(recent.name.constData(), at, sizeof(QChar) * static_cast<std::size_t>(name.size())) == 0)
            return recent.column;
        int found = -1;
        if (auto exact = columnByName.constFind(name); exact != columnByName.constEnd())
            found = exact.value();
        else
            found = columnByFoldedName.value(name.toCaseFolded(), -1);
        recent = {at, QString(at, name.size()), found};
        return found;
    }

private:
    // The names asked last, by where their characters lie: callers ask the
    // same few dozen constant names for every card, and hashing each again
    // was a twentieth of a two-year export. The characters are kept as well
    // and compared, since another name may come to lie at the same place.
    struct RecentName {
        const QChar* at = nullptr;
        QString name;  // a copy of the characters
        int column = -1;
    };
    static constexpr std::size_t kRecentNames = 64;
    mutable std::array<RecentName, kRecentNames> recentNames;
};

}  // namespace ostelvia::db::detail
