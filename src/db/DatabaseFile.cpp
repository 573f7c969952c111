// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DatabaseFile.h"

#include "db/JetText.h"
#include "db/SqliteCopy.h"

#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ostelvia::db::detail {

namespace {

QString quoted(const QString& s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// SQLite failing where nothing the caller wrote can be the cause.
DbError internalError(const QString& fileName)
{
    return DbError(QStringLiteral("Errore interno del motore database sul file %1.").arg(quoted(fileName)));
}

// A table of the file that could not be read, and why.
DbError unreadableTable(const QString& table, const QString& fileName, const QString& reason)
{
    return DbError(QStringLiteral("Impossibile leggere la tabella %1 del database %2: %3.")
                       .arg(quoted(table), quoted(fileName), reason));
}

// "no such column: X" from SQLite names a field the table lacks.
QString missingColumn(const char* message)
{
    static const char prefix[] = "no such column: ";
    if (message && std::strncmp(message, prefix, sizeof prefix - 1) == 0)
        return QString::fromUtf8(message + sizeof prefix - 1);
    return {};
}

// Whether a character can stand in a column name: Access refuses control
// characters and . ! ` [ ] in names, and U+FFFD is what bytes that are no
// text decode to.
bool nameCharacter(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0xFFFD || c.isSurrogate())
        return false;
    return u != u'.' && u != u'!' && u != u'`' && u != u'[' && u != u']';
}

// Names Access could have given the columns: 1 to 64 characters, none
// refused, no leading blank, no two alike. Anything else was read from a
// damaged table definition, whatever a field then seems to lack.
bool plausibleColumnNames(const std::vector<SourceColumn>& columns)
{
    constexpr qsizetype kMaxName = 64;
    QSet<QString> seen;
    for (const SourceColumn& column : columns) {
        const QString& name = column.name;
        if (name.isEmpty() || name.size() > kMaxName || name.front() == QLatin1Char(' '))
            return false;
        if (!std::all_of(name.begin(), name.end(), nameCharacter))
            return false;
        const QString folded = name.toCaseFolded();
        if (seen.contains(folded))
            return false;
        seen.insert(folded);
    }
    return true;
}

}  // namespace

DbError missingField(const QString& fileName, const QString& field, const QString& table)
{
    return DbError(QStringLiteral("Nel database %1 manca il campo %2 (tabella %3).")
                       .arg(quoted(fileName), quoted(field), quoted(table)));
}

DatabaseFile::DatabaseFile(std::unique_ptr<TableSource> source) : source_(std::move(source))
{
    // SQLite's allocation statistics take a process-wide lock on every
    // allocation; nothing reads them. Only possible before SQLite starts.
    static const bool configured = [] { return sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK; }();
    (void)configured;
    // The tool has one thread: SQLite's own locking would be paid on every
    // step for nothing.
    if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr)
            != SQLITE_OK
        || !registerJetFunctions(db_)) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw SourceFailure{QStringLiteral("memoria insufficiente")};
    }
    sqlite3_exec(db_, "PRAGMA analysis_limit=2000", nullptr, nullptr, nullptr);
}

DatabaseFile::~DatabaseFile()
{
    statements_.clear();
    sqlite3_close(db_);
}

void DatabaseFile::exec(const std::string& sql, const QString& fileName)
{
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        sqlite3_free(message);
        throw internalError(fileName);
    }
}

TableInfo& DatabaseFile::table(const QString& name, const QString& fileName)
{
    const QString key = name.toCaseFolded();
    auto it = tables_.find(key);
    if (it != tables_.end())
        return *it->second;
    const QString stored = source_->findTable(name);
    if (stored.isEmpty())
        throw DbError(QStringLiteral("Nel database %1 manca la tabella %2.").arg(quoted(fileName), quoted(name)));
    auto info = std::make_unique<TableInfo>();
    info->name = stored;
    info->quotedName = quoteIdentifier(stored);
    try {
        info->columns = source_->columns(stored);
    } catch (const SourceFailure& failure) {
        throw unreadableTable(stored, fileName, failure.reason);
    }
    if (info->columns.empty())
        throw unreadableTable(stored, fileName, QStringLiteral("la tabella non ha colonne"));
    if (!plausibleColumnNames(info->columns))
        throw unreadableTable(stored, fileName,
                              QStringLiteral("il file sembra danneggiato (la definizione della tabella ha nomi di "
                                             "colonna non validi)"));
    for (size_t i = 0; i < info->columns.size(); ++i) {
        info->columnByFoldedName.insert(info->columns[i].name.toCaseFolded(), static_cast<int>(i));
        info->columnByName.insert(info->columns[i].name, static_cast<int>(i));
    }
    info->declared.assign(info->columns.size(), false);
    info->loaded.assign(info->columns.size(), false);
    info->heldColumns.resize(info->columns.size());
    info->read.assign(info->columns.size(), false);
    info->indexed.assign(info->columns.size(), false);
    info->trimIndexed.assign(info->columns.size(), false);
    exec(createTableSql(*info), fileName);
    return *tables_.emplace(key, std::move(info)).first->second;
}

void DatabaseFile::ensureColumns(TableInfo& info, const std::vector<QString>& names, const QString& fileName, int hold)
{
    std::vector<int> wanted;
    for (const QString& name : names) {
        const int at = info.column(name);
        if (at >= 0 && !info.loaded[static_cast<size_t>(at)]
            && std::find(wanted.begin(), wanted.end(), at) == wanted.end())
            wanted.push_back(at);
    }
    if (info.rowsLoaded && wanted.empty())
        return;

    const bool creating = !info.rowsLoaded;
    declareColumns(info, names, fileName);
    // A column held by rowid as columnFromSource would read it, from this
    // scan instead of one of its own.
    const auto held = static_cast<size_t>(hold);
    const bool holding = hold >= 0 && info.heldColumns[held].empty() && !info.loaded[held] && !info.columns[held].isLong
        && std::find(wanted.begin(), wanted.end(), hold) == wanted.end();
    std::vector<Value> values(1);  // rowid 0 unused
    AlsoRead alsoRead;
    if (holding)
        alsoRead = {hold, [&](const Cell& cell) { values.push_back(valueFor(info.columns[held].type, cell)); }};
    try {
        info.rowCount = copyColumns(db_, *source_, info, wanted, creating, alsoRead);
    } catch (const SourceFailure& failure) {
        throw unreadableTable(info.name, fileName, failure.reason);
    } catch (const CopyFailed&) {
        throw internalError(fileName);
    }
    info.rowsLoaded = true;
    for (int at : wanted)
        info.loaded[static_cast<size_t>(at)] = true;
    if (holding && values.size() == static_cast<size_t>(info.rowCount) + 1)
        info.heldColumns[held] = std::move(values);
}

void DatabaseFile::declareColumns(TableInfo& info, const std::vector<QString>& names, const QString& fileName)
{
    for (const QString& name : names) {
        const int at = info.column(name);
        if (at < 0 || info.declared[static_cast<size_t>(at)])
            continue;
        exec(addColumnSql(info, at), fileName);
        info.declared[static_cast<size_t>(at)] = true;
    }
}

DatabaseFile::StatementPtr DatabaseFile::prepare(const std::string& sql, const std::vector<std::string>& parameters)
{
    StatementPtr st = statements_.value(QByteArray::fromRawData(sql.data(), static_cast<qsizetype>(sql.size())));
    if (!st) {
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
            sqlite3_finalize(raw);
            return nullptr;
        }
        st = StatementPtr(raw, [](sqlite3_stmt* s) { sqlite3_finalize(s); });
        statements_.insert(QByteArray(sql.data(), static_cast<qsizetype>(sql.size())), st);
    }
    sqlite3_reset(st.get());
    for (size_t i = 0; i < parameters.size(); ++i)
        sqlite3_bind_text(st.get(), static_cast<int>(i) + 1, parameters[i].data(),
                          static_cast<int>(parameters[i].size()), SQLITE_TRANSIENT);
    return st;
}

void DatabaseFile::rejected(const QString& what, const QString& text, const QString& fileName, const TableInfo* info)
{
    const QString column = missingColumn(sqlite3_errmsg(db_));
    if (!column.isEmpty() && info)
        throw missingField(fileName, column, info->name);
    throw DbError(QStringLiteral("Il database %1 ha rifiutato %2: %3").arg(quoted(fileName), what, text));
}

std::shared_ptr<SetData> DatabaseFile::openSet(const QString& tableOrSql, const QString& fileName)
{
    if (auto cached = sets_.constFind(tableOrSql); cached != sets_.constEnd())
        return cached.value();

    SelectText select;
    try {
        if (looksLikeSelect(tableOrSql))
            select = parseSelect(tableOrSql);
        else
            select.table = parseTableName(tableOrSql);
    } catch (const SqlRejected& r) {
        throw DbError(QStringLiteral("Il database %1 ha rifiutato l'istruzione SQL: %2 (%3)")
                          .arg(quoted(fileName), tableOrSql, r.reason));
    }

    TableInfo& info = table(select.table, fileName);
    auto set = std::make_shared<SetData>();
    set->table = &info;
    set->text = tableOrSql;
    set->names = select.where.names;
    set->names.insert(set->names.end(), select.orderBy.names.begin(), select.orderBy.names.end());
    set->sql = "SELECT rowid FROM " + info.quotedName;
    if (!select.where.empty())
        set->sql += " WHERE " + select.where.sql;
    // Rows that tie keep their stored order.
    set->sql += " ORDER BY " + (select.orderBy.empty() ? std::string() : select.orderBy.sql + ", ") + "rowid";
    set->parameters = select.where.parameters;
    set->parameters.insert(set->parameters.end(), select.orderBy.parameters.begin(), select.orderBy.parameters.end());
    // Checked now, against the table's columns; run on first use.
    declareColumns(info, set->names, fileName);
    if (!prepare(set->sql, set->parameters))
        rejected(QStringLiteral("l'istruzione SQL"), tableOrSql, fileName, &info);
    sets_.insert(tableOrSql, set);
    return set;
}

void DatabaseFile::materialize(SetData& set, const std::vector<QString>& alsoNamed, const QString& fileName, int hold)
{
    if (set.ready)
        return;
    TableInfo& info = *set.table;
    std::vector<QString> names = set.names;
    names.insert(names.end(), alsoNamed.begin(), alsoNamed.end());
    ensureColumns(info, names, fileName, hold);

    const StatementPtr st = prepare(set.sql, set.parameters);
    if (!st)
        rejected(QStringLiteral("l'istruzione SQL"), set.text, fileName, &info);
    set.rowids.clear();
    set.positionOf.assign(static_cast<size_t>(info.rowCount) + 1, -1);
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        const std::int64_t rowid = sqlite3_column_int64(st.get(), 0);
        if (rowid >= 1 && rowid <= info.rowCount)
            set.positionOf[static_cast<size_t>(rowid)] = static_cast<std::int32_t>(set.rowids.size());
        set.rowids.push_back(static_cast<std::int32_t>(rowid));
    }
    sqlite3_reset(st.get());
    if (rc != SQLITE_DONE) {
        set.rowids.clear();
        set.positionOf.clear();
        rejected(QStringLiteral("l'istruzione SQL"), set.text, fileName, &info);
    }
    set.ready = true;
}

void DatabaseFile::ensureIndexes(TableInfo& info, const Expression& expression, const QString& fileName)
{
    bool added = false;
    auto add = [&](const QString& column, bool trimmed) {
        const int at = info.column(column);
        if (at < 0 || !info.loaded[static_cast<size_t>(at)])
            return;
        const SourceColumn& c = info.columns[static_cast<size_t>(at)];
        if (trimmed && c.type != Column::Type::Text)
            return;
        std::vector<bool>& done = trimmed ? info.trimIndexed : info.indexed;
        if (done[static_cast<size_t>(at)])
            return;
        done[static_cast<size_t>(at)] = true;
        const std::string name = "ix" + std::to_string(++nextIndex_);
        const std::string col = quoteIdentifier(c.name);
        exec("CREATE INDEX " + name + " ON " + info.quotedName + " ("
                 + (trimmed ? "trim(" + col + ") COLLATE JET" : col) + ")",
             fileName);
        added = true;
    };
    for (const QString& c : expression.comparedColumns)
        add(c, false);
    for (const QString& c : expression.trimmedColumns)
        add(c, true);
    // Statistics let the planner prefer a selective index (a name) over a
    // poor one (a kind of row, a hotel number).
    if (added)
        exec("ANALYZE " + info.quotedName, fileName);
}

const Positions& DatabaseFile::find(SetData& set, const QString& criteria, const QString& fileName)
{
    if (auto cached = set.finds.constFind(criteria); cached != set.finds.constEnd())
        return cached.value();
    Positions positions = search(set, criteria, fileName);
    if (set.finds.size() >= SetData::kMaxFinds)
        set.finds.clear();
    return set.finds.insert(criteria, std::move(positions)).value();
}

Positions DatabaseFile::search(SetData& set, const QString& criteria, const QString& fileName, int hold)
{
    Expression expression;
    try {
        expression = translateCriteria(criteria);
    } catch (const SqlRejected& r) {
        throw DbError(QStringLiteral("Il database %1 ha rifiutato il criterio: %2 (%3)")
                          .arg(quoted(fileName), criteria, r.reason));
    }
    TableInfo& info = *set.table;
    materialize(set, expression.names, fileName, hold);
    ensureColumns(info, expression.names, fileName, hold);
    // A single find is cheaper as a scan than as an index build: indexes
    // come with the second find on a table, which look-ups soon make.
    if (++info.findsRun >= 2)
        ensureIndexes(info, expression, fileName);

    // Rows outside the set drop out through positionOf, so the set's own
    // Where need not be repeated here.
    const std::string sql = "SELECT rowid FROM " + info.quotedName + " WHERE " + expression.sql;
    const StatementPtr st = prepare(sql, expression.parameters);
    if (!st)
        rejected(QStringLiteral("il criterio"), criteria, fileName, &info);
    Positions positions;
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        const std::int64_t rowid = sqlite3_column_int64(st.get(), 0);
        if (rowid >= 1 && static_cast<size_t>(rowid) < set.positionOf.size()) {
            const std::int32_t p = set.positionOf[static_cast<size_t>(rowid)];
            if (p >= 0)
                positions.push_back(p);
        }
    }
    if (rc != SQLITE_DONE)
        rejected(QStringLiteral("il criterio"), criteria, fileName, &info);
    sqlite3_reset(st.get());
    // A set in stored order finds its rows in order already.
    if (!std::is_sorted(positions.begin(), positions.end()))
        std::sort(positions.begin(), positions.end());
    return positions;
}

std::optional<Value> DatabaseFile::lookUp(SetData& set, const QString& criteria, const QString& field,
                                          const QString& fileName)
{
    // Searched without keeping the positions: a look-up never goes on to a
    // find next.
    const Positions found = search(set, criteria, fileName);
    std::optional<Value> value;
    if (!found.empty()) {
        TableInfo& info = *set.table;
        const int column = info.column(field);
        if (column < 0)
            throw missingField(fileName, field, info.name);
        const std::int64_t rowid = set.rowids[static_cast<size_t>(found.front())];
        value = info.columns[static_cast<size_t>(column)].isLong
            ? readRow(info, rowid, column, nullptr, fileName)->get(static_cast<size_t>(column))
            : heldColumn(info, column, fileName)[static_cast<size_t>(rowid)];
    }
    return value;
}

RowPtr DatabaseFile::readRow(TableInfo& info, std::int64_t rowid, int column, const RowPtr& partial,
                             const QString& fileName)
{
    info.read[static_cast<size_t>(column)] = true;
    auto row = partial ? std::make_shared<DecodedRow>(*partial) : std::make_shared<DecodedRow>(info.columns.size());
    std::vector<int> wanted;
    for (size_t i = 0; i < info.columns.size(); ++i)
        if (info.read[i] && !row->decoded[i])
            wanted.push_back(static_cast<int>(i));
    try {
        source_->readRow(info.name, rowid - 1, wanted, [&](const std::vector<Cell>& cells) {
            for (size_t i = 0; i < wanted.size() && i < cells.size(); ++i) {
                const auto at = static_cast<size_t>(wanted[i]);
                row->set(at, valueFor(info.columns[at].type, cells[i]));
            }
        });
    } catch (const SourceFailure& failure) {
        throw unreadableTable(info.name, fileName, failure.reason);
    }
    return row;
}

namespace {

Value storedValue(sqlite3_stmt* st, int at)
{
    switch (sqlite3_column_type(st, at)) {
    case SQLITE_INTEGER:
        return Value::integer(sqlite3_column_int64(st, at));
    case SQLITE_FLOAT:
        return Value::real(sqlite3_column_double(st, at));
    case SQLITE_NULL:
        return {};
    default:
        break;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, at));
    return Value::text(QString::fromUtf8(text ? text : "", sqlite3_column_bytes(st, at)));
}

}  // namespace

bool DatabaseFile::readsFieldsAlone(const TableInfo& table, int column) const
{
    // The rule that builds indexes tells look-up tables from card tables.
    return table.findsRun >= 2 && !table.columns[static_cast<size_t>(column)].isLong;
}

Value DatabaseFile::storedField(TableInfo& info, std::int64_t rowid, int column, const QString& fileName)
{
    // A card's look-ups read a code or a name from the same few thousand
    // rows again and again: asking SQLite for each was a seventh of the
    // two-year range.
    const std::vector<Value>& values = heldColumn(info, column, fileName);
    if (rowid < 1 || static_cast<size_t>(rowid) >= values.size())
        throw internalError(fileName);
    return values[static_cast<size_t>(rowid)];
}

const std::vector<Value>& DatabaseFile::heldColumn(TableInfo& info, int column, const QString& fileName)
{
    std::vector<Value>& held = info.heldColumns[static_cast<size_t>(column)];
    if (held.empty())
        held = info.loaded[static_cast<size_t>(column)] || !info.rowsLoaded ? columnFromCopy(info, column, fileName)
                                                                            : columnFromSource(info, column, fileName);
    return held;
}

std::vector<Value> DatabaseFile::columnFromCopy(TableInfo& info, int column, const QString& fileName)
{
    const SourceColumn& c = info.columns[static_cast<size_t>(column)];
    ensureColumns(info, {c.name}, fileName);
    // The copy in SQLite holds each value as the source decodes it.
    std::vector<Value> byRowid(static_cast<size_t>(info.rowCount) + 1);
    const StatementPtr st = prepare("SELECT rowid, " + quoteIdentifier(c.name) + " FROM " + info.quotedName, {});
    if (!st)
        throw internalError(fileName);
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        const std::int64_t rowid = sqlite3_column_int64(st.get(), 0);
        if (rowid >= 1 && rowid <= info.rowCount)
            byRowid[static_cast<size_t>(rowid)] = storedValue(st.get(), 1);
    }
    sqlite3_reset(st.get());
    if (rc != SQLITE_DONE)
        throw internalError(fileName);
    return byRowid;
}

std::vector<Value> DatabaseFile::columnFromSource(TableInfo& info, int column, const QString& fileName)
{
    // A column no SQL text names need not pass through SQLite: copying it
    // there row by row and reading it back was most of the code list's
    // reading of the reference tables.
    const Column::Type type = info.columns[static_cast<size_t>(column)].type;
    std::vector<Value> byRowid(static_cast<size_t>(info.rowCount) + 1);
    std::int64_t rowid = 0;
    try {
        source_->scan(info.name, {column}, [&](const std::vector<Cell>& cells) {
            if (++rowid <= info.rowCount)
                byRowid[static_cast<size_t>(rowid)] = valueFor(type, cells.front());
        });
        if (rowid != info.rowCount)
            throw SourceFailure{QStringLiteral("le righe della tabella sono cambiate")};
    } catch (const SourceFailure& failure) {
        throw unreadableTable(info.name, fileName, failure.reason);
    }
    return byRowid;
}

std::vector<Value> DatabaseFile::fieldOfEach(SetData& set, const QString& criteria, int column, const QString& fileName)
{
    // The column is read for every row found: held from the scan that copies
    // the criteria's columns, if the find makes one, it costs no scan of its
    // own (a second scan was a tenth of the code list).
    const Positions matches = search(set, criteria, fileName, column);
    const std::vector<Value>& byRowid = heldColumn(*set.table, column, fileName);
    std::vector<Value> values;
    values.reserve(matches.size());
    for (std::int32_t position : matches)
        values.push_back(byRowid[static_cast<size_t>(set.rowids[static_cast<size_t>(position)])]);
    return values;
}

QString DatabaseFile::explainFind(const QString& tableName, const QString& criteria, const QString& fileName)
{
    TableInfo& info = table(tableName, fileName);
    Expression expression;
    try {
        expression = translateCriteria(criteria);
    } catch (const SqlRejected& r) {
        throw DbError(r.reason);
    }
    ensureColumns(info, expression.names, fileName);
    ensureIndexes(info, expression, fileName);
    const std::string sql = "EXPLAIN QUERY PLAN SELECT rowid FROM " + info.quotedName + " WHERE " + expression.sql;
    const StatementPtr st = prepare(sql, expression.parameters);
    if (!st)
        rejected(QStringLiteral("il criterio"), criteria, fileName, &info);
    QString plan;
    while (sqlite3_step(st.get()) == SQLITE_ROW)
        plan += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 3))) + QLatin1Char('\n');
    sqlite3_reset(st.get());
    return plan;
}

}  // namespace ostelvia::db::detail
