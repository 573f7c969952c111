// SPDX-License-Identifier: GPL-3.0-or-later
// The few database operations the tool needs of the front-office files:
// open a database by bare file name, open a dynaset from a table name or a
// "Select * From ..." text, find first / find next with a criteria text, the
// no-match test, a field's value by name, close.
//
// Files are read only. A file is read whole when it is opened; a handle and
// the record sets opened through it read those bytes, whatever happens to
// the file on disk meanwhile. A run (Run.h) opens each file once and keeps
// it for all its handles.
//
// The tool has one thread, and the engine is used from it alone: nothing in
// here is locked.
#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <vector>

#include "db/Value.h"

namespace ostelvia::db {

class LoadedDatabase;  // engine internals
class RecordsetState;
class Run;
namespace detail {
class DatabaseFile;
}

// A dynaset: an ordered set of rows with a current row.
class Recordset {
public:
    Recordset() = default;

    // Moves to the first row, in the set's order, matching the criteria (the
    // body of a WHERE clause). Throws DbError when the engine rejects it.
    void findFirst(const QString& criteria);
    // Moves to the next row after the current one matching the criteria.
    void findNext(const QString& criteria);
    // True when the last find found nothing (no current row then).
    bool noMatch() const;

    // The value of a field of the current row; DbError for an unknown field
    // or when there is no current row.
    Value field(const QString& name) const;
    // The field's value as text, Null read as the empty text.
    QString text(const QString& name) const { return field(name).toText(); }

    // The field's value on every row that find first / find next with the
    // criteria would visit, in that order, read in one pass; the current
    // row stays where it is. Throws DbError as the find and field() would.
    std::vector<Value> fieldOfEach(const QString& criteria, const QString& name) const;

    bool isOpen() const { return static_cast<bool>(state_); }

private:
    friend class Database;
    explicit Recordset(std::shared_ptr<RecordsetState> state);
    std::shared_ptr<RecordsetState> state_;
};

// A handle on one open database file.
class Database {
public:
    Database() = default;

    // Opens a database by bare file name, resolved in the current directory
    // with letter case matched loosely, and reads it afresh: outside a run
    // nothing is kept from one open to the next. Throws DbError.
    static Database open(const QString& fileName);

    // A dynaset from a table name ("CodiciVari") or an SQL SELECT text
    // ("Select * From CodiciVari Where Tipo = 0"). Throws DbError.
    Recordset openRecordset(const QString& tableOrSql);

    // A look-up: the field of the first row, in the set's order, that the
    // criteria finds, or nothing when it finds none; what findFirst, noMatch
    // and field() on a fresh record set would give, errors included, without
    // a record set's state. Not kept: Run::lookUp keeps answers for a run.
    std::optional<Value> lookUp(const QString& tableOrSql, const QString& criteria, const QString& field);

    // Closes the handle; record sets opened on it can no longer be used.
    void close();

    bool isOpen() const { return static_cast<bool>(db_); }
    const QString& fileName() const { return fileName_; }

private:
    friend class Run;
    Database(std::shared_ptr<detail::DatabaseFile> file, const QString& fileName);

    // Throws DbError when the handle is not open.
    LoadedDatabase& openHandle() const;

    std::shared_ptr<LoadedDatabase> db_;
    QString fileName_;
};

// Doubles every single quote, so a value can stand between single quotes in
// an SQL text or a criteria ("L'AQUILA" -> "L''AQUILA").
QString escapeQuotes(const QString& value);
// "<prefix><value>'", the value's quotes doubled: a criteria ending in a
// quoted value ("Sigla = '" and "I" give "Sigla = 'I'"), built in one piece.
QString quotedCriteria(QLatin1String prefix, const QString& value);

// Test hooks: tables that every open of that bare file name reads, freshly
// loaded each time, instead of a file; and the way to drop them again.
void registerMemoryDatabase(const QString& fileName, std::vector<TableData> tables);
void clearMemoryDatabases();

// Resolves a bare file name in the current directory, matching letter case
// loosely; returns the name as found on disk, or the name unchanged when no
// such file exists. Used for every relative file the tool reads or writes.
QString resolveFileName(const QString& fileName);

}  // namespace ostelvia::db
