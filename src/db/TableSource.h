// SPDX-License-Identifier: GPL-3.0-or-later
// Where table contents come from: a Jet file read through libmdb, or tables
// held in memory (tests). Engine internals.
#pragma once

#include "db/Value.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace ostelvia::db::detail {

// One value of a row as the source hands it over; text is UTF-8 and only
// valid during the row callback.
struct Cell {
    Value::Kind kind = Value::Kind::Null;
    std::int64_t integer = 0;
    double real = 0;
    std::string_view text;
};

struct SourceColumn {
    QString name;
    Column::Type type = Column::Type::Text;
    bool isLong = false;  // memo: costly to decode, read only when asked for
};

// Thrown by sources; reason is a short Italian text.
struct SourceFailure {
    QString reason;
    bool changedWhileRead = false;  // the file changed on disk as it was read
};

inline const QString kUnreadableFile = QStringLiteral("il file non è leggibile");

using RowCallback = std::function<void(const std::vector<Cell>&)>;

class TableSource {
public:
    virtual ~TableSource() = default;

    // The stored name of a table, matched without regard to letter case;
    // empty when there is none.
    virtual QString findTable(const QString& name) const = 0;

    // The columns of a table, in stored order.
    virtual std::vector<SourceColumn> columns(const QString& storedName) = 0;
    // How many rows a scan of the table should hand over, to make room for
    // them at once: a hint, never trusted (a damaged file may claim any
    // number, and the scan tells what it really read).
    virtual std::int64_t expectedRows(const QString& storedName) = 0;

    // Reads every row in stored order, decoding only the wanted columns
    // (indexes into columns()); onRow gets their cells in that order. Rows
    // are numbered from 0 in this order, the same on every scan.
    virtual void scan(const QString& storedName, const std::vector<int>& wanted, const RowCallback& onRow) = 0;

    // Decodes the wanted columns of the row numbered `row` by an earlier
    // scan; onRow gets their cells in that order.
    virtual void readRow(const QString& storedName, std::int64_t row, const std::vector<int>& wanted,
                         const RowCallback& onRow) = 0;
};

// Opens a Jet file read-only. The file's bytes are read once, here: later
// reads never see the file change under them. Throws SourceFailure when it is
// no database libmdb can read. When `signature` is given, also fails when the
// bytes read are not those of the file it describes (changed meanwhile).
struct FileSignature;
std::unique_ptr<TableSource> openJetFile(const QString& path, const FileSignature* signature = nullptr);

std::unique_ptr<TableSource> memorySource(std::vector<TableData> tables);

}  // namespace ostelvia::db::detail
