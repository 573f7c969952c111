// SPDX-License-Identifier: GPL-3.0-or-later
// The few database operations the tool needs of the front-office files:
// open a database by bare file name, open a dynaset from a table name or a
// "Select * From ..." text, find first / find next with a criteria text, the
// no-match test, a field's value by name, close.
//
// Files are read only. A loaded file is kept by the engine for as long as it
// is unchanged on disk, so opening the same file for every lookup costs a
// stat, not a reparse; inside a run (RunScope) not even that.
//
// The tool has one thread, and the engine is used from it alone: nothing in
// here is locked.
#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "text/Error.h"

namespace ostelvia::db {

// Every failure of the database layer: missing or unreadable file, a file
// that is not an Access database, a missing table or field, an SQL text or
// criteria the engine rejects. message() is plain Italian and names the file
// (and the table or field).
class DbError : public Error {
public:
    using Error::Error;
};

// A field value: Null, a whole number, a real number or a text. Jet's
// Byte, Integer and Long read as whole numbers, Yes/No as -1 (yes) or 0;
// Single, Double, Currency and Decimal as real numbers; Text and Memo as
// text, Date/Time as the text "yyyy-mm-dd hh:mm:ss".
class Value {
public:
    enum class Kind { Null, Integer, Real, Text };

    Value() = default;
    static Value integer(std::int64_t v);
    static Value real(double v);
    static Value text(const QString& v);

    Kind kind() const { return static_cast<Kind>(value_.index()); }
    bool isNull() const { return kind() == Kind::Null; }

    // The value as Access shows it: a Long 1234 is "1234", a real number in
    // the C locale without trailing zeros; Null is the empty text.
    QString toText() const;

    // A number used as a number; Null is 0, a text is read as a number
    // (0 when it is none).
    double toNumber() const;

    bool operator==(const Value& other) const;

private:
    // In the order of Kind. Holding one alternative at a time keeps a value
    // at 32 bytes: a look-up table holds a column of them for every row.
    std::variant<std::monostate, std::int64_t, double, QString> value_;
};

// Column types of an in-memory table (tests): numbers or text.
struct Column {
    enum class Type { Integer, Real, Text };
    QString name;
    Type type = Type::Text;
};

// A whole table held in memory, for engine tests of cases no fixture has.
struct TableData {
    QString name;
    std::vector<Column> columns;
    std::vector<std::vector<Value>> rows;  // stored order
};

class LoadedDatabase;  // engine internals
class RecordsetState;

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
    // with letter case matched loosely. Throws DbError.
    static Database open(const QString& fileName);

    // A dynaset from a table name ("CodiciVari") or an SQL SELECT text
    // ("Select * From CodiciVari Where Tipo = 0"). Throws DbError.
    Recordset openRecordset(const QString& tableOrSql);

    // A look-up: the field of the first row, in the set's order, that the
    // criteria finds, or nothing when it finds none; what findFirst, noMatch
    // and field() on a fresh record set would give, errors included, without
    // a record set's state. A caller that asks again keeps its answers
    // (RunMemo).
    std::optional<Value> lookUp(const QString& tableOrSql, const QString& criteria, const QString& field);

    // Closes the handle; record sets opened on it can no longer be used.
    void close();

    bool isOpen() const { return static_cast<bool>(db_); }
    const QString& fileName() const { return fileName_; }

private:
    // Throws DbError when the handle is not open.
    LoadedDatabase& openHandle() const;

    std::shared_ptr<LoadedDatabase> db_;
    QString fileName_;
};

// Texts compared as SQL texts and criteria compare them: letter case
// ignored, nothing else (blanks and accents count). Answers many
// "Field = 'text'" questions about one set of values after one pass over it.
class TextSet {
public:
    void insert(const QString& text);
    bool contains(const QString& text) const;

private:
    // Where a key lies in keys_; an empty slot has hash 0.
    struct Slot {
        std::size_t hash = 0;
        std::uint32_t start = 0;
        std::uint32_t length = 0;
    };
    static std::size_t hashOf(std::u32string_view key);
    // The slot holding the key, or the empty one where it would go.
    std::size_t slotFor(std::u32string_view key, std::size_t hash) const;
    void grow();

    // Every key folded as the engine compares texts, one after another in
    // one buffer, found through a table of their places: a code list's
    // 8,000 names cost a few allocations instead of 16,000.
    std::u32string keys_;
    std::vector<Slot> slots_;  // a power of two long, at most half used
    std::size_t count_ = 0;
    mutable std::u32string scratch_;  // a looked-up key, built without allocating
};

// Doubles every single quote, so a value can stand between single quotes in
// an SQL text or a criteria ("L'AQUILA" -> "L''AQUILA").
QString escapeQuotes(const QString& value);
// "<prefix><value>'", the value's quotes doubled: a criteria ending in a
// quoted value ("Sigla = '" and "I" give "Sigla = 'I'"), built in one piece.
QString quotedCriteria(QLatin1String prefix, const QString& value);

// One run of the tool: an export, a code list, a check, a window command.
// While a run is open, each file is checked for changes on disk at its
// first open in the run and read as it was then for the rest of the run;
// the next run checks again. Outside a run every open checks. Runs may
// nest; the outermost one counts.
class RunScope {
public:
    RunScope();
    ~RunScope();
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;
};

namespace detail {

// What every RunMemo shares: it is told when a run ends.
class RunMemoBase {
public:
    RunMemoBase();
    virtual ~RunMemoBase();
    RunMemoBase(const RunMemoBase&) = delete;
    RunMemoBase& operator=(const RunMemoBase&) = delete;

    virtual void forget() = 0;

protected:
    static bool inRun();
};

}  // namespace detail

// Answers kept while a run lasts, by the value asked about. Inside a run
// every file stays as it was at its first open, so the same question gets
// the same answer; a card asks a dozen code questions, nearly all of them
// asked by earlier cards. Outside a run nothing is kept. A question that
// throws keeps nothing and is put to the files again next time. The answers
// are dropped when the run ends, and when the files behind them are swapped
// (memory databases, clearCache()).
template <typename Answer> class RunMemo final : public detail::RunMemoBase {
public:
    template <typename Ask> Answer get(const QString& key, Ask&& ask)
    {
        if (!inRun())
            return ask();
        if (auto known = answers_.constFind(key); known != answers_.constEnd())
            return known.value();
        Answer answer = ask();
        // Bounded like the engine's own finds: a history of names all
        // different must not grow the memo without end.
        if (answers_.size() >= kMaxAnswers)
            answers_.clear();
        answers_.insert(key, answer);
        return answer;
    }

    void forget() override { answers_.clear(); }

private:
    static constexpr qsizetype kMaxAnswers = 16384;
    QHash<QString, Answer> answers_;
};

// Test hooks: an in-memory database that open() returns for that bare file
// name instead of reading a file, and the way to drop them again.
void registerMemoryDatabase(const QString& fileName, std::vector<TableData> tables);
void clearMemoryDatabases();

// Drops every cached file (tests, or to free memory).
void clearCache();

// Resolves a bare file name in the current directory, matching letter case
// loosely; returns the name as found on disk, or the name unchanged when no
// such file exists. Used for every relative file the tool reads or writes.
QString resolveFileName(const QString& fileName);

}  // namespace ostelvia::db
