// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/SqliteCopy.h"

#include "db/DatabaseFile.h"

#include <sqlite3.h>

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

std::string writeSql(const TableInfo& info, const std::vector<int>& wanted, bool creating)
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
        return columns.empty() ? "INSERT INTO " + info.quotedName + " DEFAULT VALUES"
                               : "INSERT INTO " + info.quotedName + " (" + columns + ") VALUES (" + values + ")";
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

std::int64_t copyColumns(sqlite3* db, TableSource& source, const TableInfo& info, const std::vector<int>& wanted,
                         bool creating)
{
    exec(db, "BEGIN");
    Statement write;
    try {
        if (sqlite3_prepare_v2(db, writeSql(info, wanted, creating).c_str(), -1, &write.stmt, nullptr) != SQLITE_OK)
            throw CopyFailed{};
        std::int64_t rowid = 0;
        source.scan(info.name, wanted, [&](const std::vector<Cell>& cells) {
            sqlite3_stmt* st = write.stmt;
            ++rowid;
            if (!creating)
                sqlite3_bind_int64(st, static_cast<int>(cells.size()) + 1, rowid);
            for (size_t i = 0; i < cells.size(); ++i)
                bind(st, static_cast<int>(i) + 1, cells[i]);
            const int rc = sqlite3_step(st);
            sqlite3_reset(st);
            if (rc != SQLITE_DONE || (creating && sqlite3_last_insert_rowid(db) != rowid))
                throw CopyFailed{};
        });
        if (!creating && rowid != info.rowCount)
            throw SourceFailure{QStringLiteral("le righe della tabella sono cambiate")};
        sqlite3_finalize(write.stmt);
        write.stmt = nullptr;
        exec(db, "COMMIT");
        return rowid;
    } catch (...) {
        sqlite3_finalize(write.stmt);
        write.stmt = nullptr;
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

}  // namespace ostelvia::db::detail
