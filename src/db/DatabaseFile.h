// SPDX-License-Identifier: GPL-3.0-or-later
// One loaded database file: each table, on first use, is copied into an
// in-memory SQLite connection, where the SQL texts and criteria are
// evaluated; record sets and finds are cached there because the tool opens
// the same ones again for every card. Engine internals.
#pragma once

#include "db/DecodedRow.h"
#include "db/JetSql.h"
#include "db/TableInfo.h"
#include "db/TableSource.h"
#include "db/Value.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace ostelvia::db::detail {

using Positions = std::vector<std::int32_t>;

// A field the table lacks, named as the caller wrote it.
DbError missingField(const QString& fileName, const QString& field, const QString& table);

// The rows of one record set, in its order, and the finds made on it. The
// rows are selected on first use, when the first find names the columns it
// needs too, so the table is read once for both.
struct SetData {
    TableInfo* table = nullptr;
    bool ready = false;
    QString text;     // as the caller wrote it, for messages
    std::string sql;  // SELECT rowid ...
    std::vector<std::string> parameters;
    std::vector<QString> names;            // columns the text may read
    std::vector<std::int32_t> rowids;      // set order (a table holds fewer than 2^31 rows)
    std::vector<std::int32_t> positionOf;  // rowid -> position, -1 when not in the set
    // Keyed by the criteria as written, for find next and for a criteria
    // asked again. Kept few, and emptied when full: the code questions, some
    // twenty thousand distinct names in two years, are kept by the run
    // (Run::lookUp), and keeping them here as well held 4 MB more at the peak.
    QHash<QString, Positions> finds;
    static constexpr qsizetype kMaxFinds = 1024;
};

// One loaded database file (or in-memory database), shared by the handles a
// run opens on it, and gone with the last of them.
class DatabaseFile {
public:
    explicit DatabaseFile(std::unique_ptr<TableSource> source);
    ~DatabaseFile();
    DatabaseFile(const DatabaseFile&) = delete;
    DatabaseFile& operator=(const DatabaseFile&) = delete;

    // All three throw DbError naming fileName, the name the caller used.
    std::shared_ptr<SetData> openSet(const QString& tableOrSql, const QString& fileName);
    // Selects the set's rows if not done yet, copying into SQLite the columns
    // the set and `alsoNamed` need.
    // `hold`, when given, is a column to hold (heldColumn) from the scan of
    // a copy this makes.
    void materialize(SetData& set, const std::vector<QString>& alsoNamed, const QString& fileName, int hold = -1);
    // The positions in set order of the rows the criteria finds; valid until
    // the next find on the set.
    const Positions& find(SetData& set, const QString& criteria, const QString& fileName);
    // The same positions, searched afresh and not kept; `hold` as for
    // materialize.
    Positions search(SetData& set, const QString& criteria, const QString& fileName, int hold = -1);
    // The row decoded from the source: `column` and every column a field
    // of the table was read from before. `partial`, when given, is the same
    // row decoded as far as it goes; its values are kept.
    RowPtr readRow(TableInfo& table, std::int64_t rowid, int column, const RowPtr& partial, const QString& fileName);

    // True for a code table, whose rows are found one at a time and read
    // for a field or two: such a field is better read alone from the copy
    // in SQLite than by decoding the whole row.
    bool readsFieldsAlone(const TableInfo& table, int column) const;
    // One field of one row, from the column held in memory (read first).
    Value storedField(TableInfo& table, std::int64_t rowid, int column, const QString& fileName);

    // The field's value on the first row, in set order, that the criteria
    // finds; nothing when it finds none. Not kept: the run keeps answers
    // (Run::lookUp).
    std::optional<Value> lookUp(SetData& set, const QString& criteria, const QString& field, const QString& fileName);

    // The value of `column` on every row the criteria finds, in set order.
    std::vector<Value> fieldOfEach(SetData& set, const QString& criteria, int column, const QString& fileName);

    // The plan SQLite picks for a find (tests check that lookups use an index).
    QString explainFind(const QString& tableName, const QString& criteria, const QString& fileName);

private:
    using StatementPtr = std::shared_ptr<sqlite3_stmt>;

    TableInfo& table(const QString& name, const QString& fileName);
    // Copies into SQLite every column of the table among `names` that is not
    // there yet (creating the table on first use).
    // `hold`, when given and not among them, is held from the same scan.
    void ensureColumns(TableInfo& info, const std::vector<QString>& names, const QString& fileName, int hold = -1);
    // Declares in SQLite every column of the table among `names` (so that a
    // text naming them prepares); their values come with ensureColumns.
    void declareColumns(TableInfo& info, const std::vector<QString>& names, const QString& fileName);
    void ensureIndexes(TableInfo& info, const Expression& expression, const QString& fileName);
    // The column's value on every row, by rowid, read once from the copy in
    // SQLite and kept.
    const std::vector<Value>& heldColumn(TableInfo& info, int column, const QString& fileName);
    std::vector<Value> columnFromCopy(TableInfo& info, int column, const QString& fileName);
    std::vector<Value> columnFromSource(TableInfo& info, int column, const QString& fileName);
    // A prepared statement for the text, with the parameters bound; null
    // when SQLite rejects it.
    StatementPtr prepare(const std::string& sql, const std::vector<std::string>& parameters);
    void exec(const std::string& sql, const QString& fileName);
    [[noreturn]] void rejected(const QString& what, const QString& text, const QString& fileName,
                               const TableInfo* info);

    std::unique_ptr<TableSource> source_;
    sqlite3* db_ = nullptr;
    std::map<QString, std::unique_ptr<TableInfo>> tables_;  // by folded name
    // Every look-up opens its set again: selecting it anew each time made the
    // month 17 times as long. A run opens a handful of sets per file.
    QHash<QString, std::shared_ptr<SetData>> sets_;
    // Finds differ in their literals only, which are bound: preparing each
    // anew cost the month 5% and the code list 40%. A run prepares a few
    // dozen texts per file.
    QHash<QByteArray, StatementPtr> statements_;
    int nextIndex_ = 0;
};

}  // namespace ostelvia::db::detail
