// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/SqliteCopy.h"

#include "db/JetSql.h"
#include "db/TableInfo.h"

#include <sqlite3.h>

#include <algorithm>

namespace ostelvia::db::detail {

namespace {

const char* declaredType(Column::Type type)
{
    switch (type) {
    case Column::Type::Integer:
        return "INTEGER";
    case Column::Type::Real:
        return "REAL";
    case Column::Type::Text:
        break;
    }
    return "TEXT COLLATE JET";
}

struct Statement {
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

void exec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw CopyFailed{};
}

std::string writeSql(const TableInfo& info, const std::vector<int>& wanted, bool creating, int rows = 1)
{
    if (creating) {
        // The table is empty: SQLite numbers the rows 1, 2, ... in the order
        // they come, which is the rowid each must get, and appends without
        // searching for the place of a given rowid.
        std::string columns;
        std::string values;
        for (int at : wanted) {
            columns += (columns.empty() ? "" : ", ") + quoteIdentifier(info.columns[static_cast<size_t>(at)].name);
            values += values.empty() ? "?" : ", ?";
        }
        if (columns.empty())
            return "INSERT INTO " + info.quotedName + " DEFAULT VALUES";
        std::string sql = "INSERT INTO " + info.quotedName + " (" + columns + ") VALUES (" + values + ")";
        for (int row = 1; row < rows; ++row)
            sql += ", (" + values + ")";
        return sql;
    }
    std::string sql = "UPDATE " + info.quotedName + " SET ";
    for (size_t i = 0; i < wanted.size(); ++i)
        sql += (i ? ", " : "") + quoteIdentifier(info.columns[static_cast<size_t>(wanted[i])].name) + " = ?";
    return sql + " WHERE rowid = ?";
}

void bind(sqlite3_stmt* st, int at, const Cell& c)
{
    switch (c.kind) {
    case Value::Kind::Null:
        sqlite3_bind_null(st, at);
        break;
    case Value::Kind::Integer:
        sqlite3_bind_int64(st, at, c.integer);
        break;
    case Value::Kind::Real:
        sqlite3_bind_double(st, at, c.real);
        break;
    case Value::Kind::Text:
        // The text outlives the step that copies it.
        sqlite3_bind_text(st, at, c.text.data() ? c.text.data() : "", static_cast<int>(c.text.size()), SQLITE_STATIC);
        break;
    }
}

// Appends rows to an empty table, many at a time: a statement's start,
// binding and end cost more than the row it adds, and the history has
// 100,000 rows. Rows are held here until written, their texts copied.
class BatchedAppend {
public:
    static constexpr int kRows = 64;

    BatchedAppend(sqlite3* db, const TableInfo& info, const std::vector<int>& wanted) : db_(db), columns_(wanted.size())
    {
        if (columns_ > 0
            && sqlite3_prepare_v2(db, writeSql(info, wanted, true, kRows).c_str(), -1, &batch_.stmt, nullptr)
                != SQLITE_OK)
            throw CopyFailed{};
        if (sqlite3_prepare_v2(db, writeSql(info, wanted, true).c_str(), -1, &single_.stmt, nullptr) != SQLITE_OK)
            throw CopyFailed{};
        cells_.resize(kRows * columns_);
        texts_.resize(kRows * columns_);
    }

    void add(const std::vector<Cell>& cells)
    {
        for (size_t i = 0; i < columns_ && i < cells.size(); ++i) {
            const size_t at = rows_ * columns_ + i;
            cells_[at] = cells[i];
            if (cells[i].kind == Value::Kind::Text) {
                texts_[at].assign(cells[i].text.data() ? cells[i].text.data() : "", cells[i].text.size());
                cells_[at].text = texts_[at];
            }
        }
        if (++rows_ == kRows)
            flush();
    }

    // Writes the rows still held; returns the number of rows added.
    std::int64_t finish()
    {
        flush();
        return written_;
    }

private:
    void flush()
    {
        if (rows_ == kRows && columns_ > 0) {
            for (size_t at = 0; at < cells_.size(); ++at)
                bind(batch_.stmt, static_cast<int>(at) + 1, cells_[at]);
            step(batch_.stmt, written_ + kRows);
            written_ += kRows;
        } else {
            for (size_t row = 0; row < rows_; ++row) {
                for (size_t i = 0; i < columns_; ++i)
                    bind(single_.stmt, static_cast<int>(i) + 1, cells_[row * columns_ + i]);
                step(single_.stmt, ++written_);
            }
        }
        rows_ = 0;
    }

    // SQLite numbers the rows of an empty table 1, 2, ... as they come,
    // which is the rowid each must get.
    void step(sqlite3_stmt* st, std::int64_t lastRowid)
    {
        const int rc = sqlite3_step(st);
        sqlite3_reset(st);
        if (rc != SQLITE_DONE || sqlite3_last_insert_rowid(db_) != lastRowid)
            throw CopyFailed{};
    }

    sqlite3* db_;
    size_t columns_;
    Statement batch_;
    Statement single_;
    std::vector<Cell> cells_;
    std::vector<std::string> texts_;
    size_t rows_ = 0;  // held, not yet written
    std::int64_t written_ = 0;
};

}  // namespace

std::string createTableSql(const TableInfo& info)
{
    return "CREATE TABLE " + info.quotedName + " (\"\x01\" INTEGER PRIMARY KEY)";
}

std::string addColumnSql(const TableInfo& info, int column)
{
    const SourceColumn& c = info.columns[static_cast<size_t>(column)];
    return "ALTER TABLE " + info.quotedName + " ADD COLUMN " + quoteIdentifier(c.name) + " " + declaredType(c.type);
}

namespace {

// The wanted columns, then the one read besides.
std::vector<int> scanned(const std::vector<int>& wanted, const AlsoRead& alsoRead)
{
    std::vector<int> columns = wanted;
    if (alsoRead.column >= 0)
        columns.push_back(alsoRead.column);
    return columns;
}

void passOn(const AlsoRead& alsoRead, const std::vector<Cell>& cells, size_t at)
{
    if (alsoRead.column >= 0 && at < cells.size())
        alsoRead.onCell(cells[at]);
}

std::int64_t appendAll(sqlite3* db, TableSource& source, const TableInfo& info, const std::vector<int>& wanted,
                       const AlsoRead& alsoRead)
{
    BatchedAppend append(db, info, wanted);
    source.scan(info.name, scanned(wanted, alsoRead), [&](const std::vector<Cell>& cells) {
        append.add(cells);
        passOn(alsoRead, cells, wanted.size());
    });
    return append.finish();
}

// Sets the wanted columns on the rows already there, row by row: the
// table's rowid is each row's stored position + 1.
std::int64_t updateAll(sqlite3* db, TableSource& source, const TableInfo& info, const std::vector<int>& wanted,
                       const AlsoRead& alsoRead)
{
    Statement write;
    if (sqlite3_prepare_v2(db, writeSql(info, wanted, false).c_str(), -1, &write.stmt, nullptr) != SQLITE_OK)
        throw CopyFailed{};
    std::int64_t rowid = 0;
    source.scan(info.name, scanned(wanted, alsoRead), [&](const std::vector<Cell>& cells) {
        sqlite3_stmt* st = write.stmt;
        const size_t copied = std::min(wanted.size(), cells.size());
        sqlite3_bind_int64(st, static_cast<int>(wanted.size()) + 1, ++rowid);
        for (size_t i = 0; i < copied; ++i)
            bind(st, static_cast<int>(i) + 1, cells[i]);
        const int rc = sqlite3_step(st);
        sqlite3_reset(st);
        if (rc != SQLITE_DONE)
            throw CopyFailed{};
        passOn(alsoRead, cells, wanted.size());
    });
    if (rowid != info.rowCount)
        throw SourceFailure{QStringLiteral("le righe della tabella sono cambiate")};
    return rowid;
}

}  // namespace

std::int64_t copyColumns(sqlite3* db, TableSource& source, const TableInfo& info, const std::vector<int>& wanted,
                         bool creating, const AlsoRead& alsoRead)
{
    exec(db, "BEGIN");
    try {
        const std::int64_t rows =
            creating ? appendAll(db, source, info, wanted, alsoRead) : updateAll(db, source, info, wanted, alsoRead);
        exec(db, "COMMIT");
        return rows;
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

}  // namespace ostelvia::db::detail
