#include "db/DbInternal.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace ostelvia::db::detail {

namespace {

QString quoted(const QString& s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}

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

// "no such column: X" from SQLite names a field the table lacks.
QString missingColumn(const char* message)
{
    static const char prefix[] = "no such column: ";
    if (message && std::strncmp(message, prefix, sizeof prefix - 1) == 0)
        return QString::fromUtf8(message + sizeof prefix - 1);
    return {};
}

}  // namespace

bool statSignature(const QString& path, FileSignature* signature, int* error)
{
    struct stat st {};
    if (::stat(path.toLocal8Bit().constData(), &st) != 0) {
        *error = errno;
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        *error = EISDIR;
        return false;
    }
    signature->device = st.st_dev;
    signature->inode = st.st_ino;
    signature->size = st.st_size;
    signature->modifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    signature->changedNs = std::int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return true;
}

int TableInfo::column(const QString& name) const
{
    auto it = columnByFoldedName.find(name.toCaseFolded());
    return it == columnByFoldedName.end() ? -1 : it->second;
}

DatabaseFile::DatabaseFile(QString path, FileSignature signature, std::unique_ptr<TableSource> source)
    : path_(std::move(path)), signature_(signature), source_(std::move(source))
{
    if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK ||
        !registerJetFunctions(db_)) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw SourceFailure{QStringLiteral("memoria insufficiente")};
    }
    sqlite3_exec(db_, "PRAGMA analysis_limit=2000", nullptr, nullptr, nullptr);
}

DatabaseFile::~DatabaseFile()
{
    for (auto& [name, info] : tables_)
        sqlite3_finalize(info->rowStatement);
    sqlite3_close(db_);
}

void DatabaseFile::exec(const std::string& sql, const QString& fileName)
{
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        sqlite3_free(message);
        throw DbError(QStringLiteral("Errore interno del motore database sul file %1.").arg(quoted(fileName)));
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
    load(*info, fileName);
    return *tables_.emplace(key, std::move(info)).first->second;
}

void DatabaseFile::load(TableInfo& info, const QString& fileName)
{
    // The file is read lazily, table by table: make sure it is still the
    // file that was opened.
    if (!path_.isEmpty()) {
        FileSignature now;
        int error = 0;
        if (!statSignature(path_, &now, &error) || !(now == signature_))
            throw DbError(QStringLiteral("Impossibile leggere la tabella %1 del database %2: il file è cambiato dopo l'apertura.")
                              .arg(quoted(info.name), quoted(fileName)));
    }

    exec("BEGIN", fileName);
    // A table that fails half-way leaves nothing behind, so a later use
    // tries again from scratch.
    const auto discard = [&] {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_exec(db_, ("DROP TABLE IF EXISTS " + info.quotedName).c_str(), nullptr, nullptr, nullptr);
        info.columns.clear();
        info.columnByFoldedName.clear();
        info.rowCount = 0;
    };
    Statement insert;
    bool created = false;
    try {
        source_->readTable(
            info.name,
            [&](const std::vector<SourceColumn>& columns) {
                info.columns = columns;
                std::string create = "CREATE TABLE " + info.quotedName + " (";
                std::string insertSql = "INSERT INTO " + info.quotedName + " (rowid";
                std::string values = ") VALUES (?";
                for (size_t i = 0; i < columns.size(); ++i) {
                    info.columnByFoldedName.emplace(columns[i].name.toCaseFolded(), static_cast<int>(i));
                    create += (i ? ", " : "") + quoteIdentifier(columns[i].name) + " " + declaredType(columns[i].type);
                    insertSql += ", " + quoteIdentifier(columns[i].name);
                    values += ", ?";
                }
                create += ")";
                exec(create, fileName);
                created = true;
                if (sqlite3_prepare_v2(db_, (insertSql + values + ")").c_str(), -1, &insert.stmt, nullptr) != SQLITE_OK)
                    throw DbError(QStringLiteral("Errore interno del motore database sul file %1.").arg(quoted(fileName)));
            },
            [&](const std::vector<Cell>& cells) {
                sqlite3_stmt* st = insert.stmt;
                sqlite3_bind_int64(st, 1, ++info.rowCount);
                for (size_t i = 0; i < cells.size(); ++i) {
                    const Cell& c = cells[i];
                    const int at = static_cast<int>(i) + 2;
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
                        sqlite3_bind_text(st, at, c.text.data() ? c.text.data() : "", static_cast<int>(c.text.size()),
                                          SQLITE_TRANSIENT);
                        break;
                    }
                }
                if (sqlite3_step(st) != SQLITE_DONE) {
                    sqlite3_reset(st);
                    throw DbError(QStringLiteral("Errore interno del motore database sul file %1.").arg(quoted(fileName)));
                }
                sqlite3_reset(st);
            });
        if (!created)
            throw SourceFailure{QStringLiteral("la tabella non ha colonne")};
    } catch (const SourceFailure& failure) {
        sqlite3_finalize(insert.stmt);
        insert.stmt = nullptr;
        discard();
        throw DbError(QStringLiteral("Impossibile leggere la tabella %1 del database %2: %3.")
                          .arg(quoted(info.name), quoted(fileName), failure.reason));
    } catch (...) {
        sqlite3_finalize(insert.stmt);
        insert.stmt = nullptr;
        discard();
        throw;
    }
    sqlite3_finalize(insert.stmt);
    insert.stmt = nullptr;
    exec("COMMIT", fileName);

    const std::string rowSql = "SELECT * FROM " + info.quotedName + " WHERE rowid = ?";
    if (sqlite3_prepare_v2(db_, rowSql.c_str(), -1, &info.rowStatement, nullptr) != SQLITE_OK)
        throw DbError(QStringLiteral("Errore interno del motore database sul file %1.").arg(quoted(fileName)));
}

void DatabaseFile::rejected(const QString& what, const QString& text, const QString& fileName, const TableInfo* info)
{
    const QString column = missingColumn(sqlite3_errmsg(db_));
    if (!column.isEmpty() && info)
        throw DbError(QStringLiteral("Nel database %1 manca il campo %2 (tabella %3).")
                          .arg(quoted(fileName), quoted(column), quoted(info->name)));
    throw DbError(QStringLiteral("Il database %1 ha rifiutato %2: %3").arg(quoted(fileName), what, text));
}

std::shared_ptr<SetData> DatabaseFile::openSet(const QString& tableOrSql, const QString& fileName)
{
    const std::string key = tableOrSql.toStdString();
    if (auto* cached = sets_.get(key))
        return *cached;

    SelectText select;
    try {
        if (looksLikeSelect(tableOrSql))
            select = parseSelect(tableOrSql);
        else
            select.table = parseTableName(tableOrSql);
    } catch (const SqlRejected& r) {
        throw DbError(QStringLiteral("Il database %1 ha rifiutato l'istruzione SQL: %2 (%3)").arg(quoted(fileName), tableOrSql, r.reason));
    }

    TableInfo& info = table(select.table, fileName);
    std::string sql = "SELECT rowid FROM " + info.quotedName;
    if (!select.where.empty())
        sql += " WHERE " + select.where.sql;
    // Rows that tie keep their stored order.
    sql += " ORDER BY " + (select.orderBy.empty() ? std::string() : select.orderBy.sql + ", ") + "rowid";

    Statement st;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st.stmt, nullptr) != SQLITE_OK)
        rejected(QStringLiteral("l'istruzione SQL"), tableOrSql, fileName, &info);
    auto set = std::make_shared<SetData>();
    set->table = &info;
    set->positionOf.assign(static_cast<size_t>(info.rowCount) + 1, -1);
    int rc;
    while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
        const std::int64_t rowid = sqlite3_column_int64(st.stmt, 0);
        if (rowid >= 1 && rowid <= info.rowCount)
            set->positionOf[static_cast<size_t>(rowid)] = static_cast<std::int32_t>(set->rowids.size());
        set->rowids.push_back(rowid);
    }
    if (rc != SQLITE_DONE)
        rejected(QStringLiteral("l'istruzione SQL"), tableOrSql, fileName, &info);
    sets_.put(key, set);
    return set;
}

void DatabaseFile::ensureIndexes(TableInfo& info, const Expression& expression, const QString& fileName)
{
    bool added = false;
    auto add = [&](const QString& column, bool trimmed) {
        const int at = info.column(column);
        if (at < 0)
            return;
        const SourceColumn& c = info.columns[static_cast<size_t>(at)];
        if (trimmed && c.type != Column::Type::Text)
            return;
        const QString key = (trimmed ? QStringLiteral("trim:") : QString()) + c.name.toCaseFolded();
        if (!info.indexes.insert(key).second)
            return;
        const std::string name = "ix" + std::to_string(++nextIndex_);
        const std::string col = quoteIdentifier(c.name);
        exec("CREATE INDEX " + name + " ON " + info.quotedName + " (" + (trimmed ? "trim(" + col + ") COLLATE JET" : col) + ")",
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

std::shared_ptr<const Positions> DatabaseFile::find(SetData& set, const QString& criteria, const QString& fileName)
{
    const std::string key = criteria.toStdString();
    if (auto* cached = set.finds.get(key))
        return *cached;

    Expression expression;
    try {
        expression = translateCriteria(criteria);
    } catch (const SqlRejected& r) {
        throw DbError(QStringLiteral("Il database %1 ha rifiutato il criterio: %2 (%3)").arg(quoted(fileName), criteria, r.reason));
    }
    TableInfo& info = *set.table;
    ensureIndexes(info, expression, fileName);

    // Rows outside the set drop out through positionOf, so the set's own
    // Where need not be repeated here.
    const std::string sql = "SELECT rowid FROM " + info.quotedName + " WHERE " + expression.sql;
    Statement st;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st.stmt, nullptr) != SQLITE_OK)
        rejected(QStringLiteral("il criterio"), criteria, fileName, &info);
    auto positions = std::make_shared<Positions>();
    int rc;
    while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
        const std::int64_t rowid = sqlite3_column_int64(st.stmt, 0);
        if (rowid >= 1 && static_cast<size_t>(rowid) < set.positionOf.size()) {
            const std::int32_t p = set.positionOf[static_cast<size_t>(rowid)];
            if (p >= 0)
                positions->push_back(p);
        }
    }
    if (rc != SQLITE_DONE)
        rejected(QStringLiteral("il criterio"), criteria, fileName, &info);
    std::sort(positions->begin(), positions->end());
    std::shared_ptr<const Positions> result = std::move(positions);
    set.finds.put(key, result);
    return result;
}

std::vector<Value> DatabaseFile::readRow(TableInfo& info, std::int64_t rowid, const QString& fileName)
{
    sqlite3_stmt* st = info.rowStatement;
    sqlite3_bind_int64(st, 1, rowid);
    std::vector<Value> row(info.columns.size());
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW) {
        sqlite3_reset(st);
        throw DbError(QStringLiteral("Errore interno del motore database sul file %1.").arg(quoted(fileName)));
    }
    for (size_t i = 0; i < row.size(); ++i) {
        const int at = static_cast<int>(i);
        if (sqlite3_column_type(st, at) == SQLITE_NULL)
            continue;
        switch (info.columns[i].type) {
        case Column::Type::Integer:
            row[i] = Value::integer(sqlite3_column_int64(st, at));
            break;
        case Column::Type::Real:
            row[i] = Value::real(sqlite3_column_double(st, at));
            break;
        case Column::Type::Text: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, at));
            row[i] = Value::text(QString::fromUtf8(text, sqlite3_column_bytes(st, at)));
            break;
        }
        }
    }
    sqlite3_reset(st);
    return row;
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
    ensureIndexes(info, expression, fileName);
    const std::string sql = "EXPLAIN QUERY PLAN SELECT rowid FROM " + info.quotedName + " WHERE " + expression.sql;
    Statement st;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st.stmt, nullptr) != SQLITE_OK)
        rejected(QStringLiteral("il criterio"), criteria, fileName, &info);
    QString plan;
    while (sqlite3_step(st.stmt) == SQLITE_ROW)
        plan += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.stmt, 3))) + QLatin1Char('\n');
    return plan;
}

}  // namespace ostelvia::db::detail
