// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Database.h"

#include "db/DbInternal.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cerrno>
#include <map>

namespace ostelvia::db {

namespace {

QString quoted(const QString& s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// Test tables by folded bare name.
std::map<QString, std::vector<TableData>>& memoryTables()
{
    static std::map<QString, std::vector<TableData>> tables;
    return tables;
}

RecordsetState& usable(const std::shared_ptr<RecordsetState>& state)
{
    if (!state)
        throw DbError(QStringLiteral("Il recordset non è aperto."));
    if (state->handle->closed)
        throw DbError(QStringLiteral("Il database %1 è stato chiuso: il recordset non è più utilizzabile.")
                          .arg(quoted(state->handle->fileName)));
    return *state;
}

// Moves to the first match from the start, or (next) after the current row.
void moveTo(RecordsetState& s, const QString& criteria, bool next)
{
    const QString& fileName = s.handle->fileName;
    detail::DatabaseFile& file = *s.handle->file;
    const detail::Positions& matches = file.find(*s.set, criteria, fileName);
    const size_t size = s.set->rowids.size();
    // After the last row (or a failed find) there is nothing further.
    const size_t from = !next ? 0 : s.position >= size ? size : s.position + 1;
    const auto it =
        std::lower_bound(matches.begin(), matches.end(), static_cast<std::int32_t>(std::min<size_t>(from, INT32_MAX)));
    s.row.reset();
    if (it == matches.end()) {
        s.noMatch = true;
        s.position = size;
    } else {
        s.noMatch = false;
        s.position = static_cast<size_t>(*it);
    }
}

}  // namespace

// --- Files -------------------------------------------------------------------

QString resolveFileName(const QString& fileName)
{
    if (fileName.isEmpty())
        return fileName;
    // Where the system itself ignores letter case, every spelling exists:
    // the one on disk is looked up all the same, so that a run knows two
    // spellings of a name for one file.
    if (!platform::kNamesIgnoreLetterCase && QFileInfo::exists(fileName))
        return fileName;
    const QFileInfo info(fileName);
    const QString wanted = info.fileName();
    const QDir dir = info.dir();
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        return fileName.left(fileName.size() - wanted.size()) + entry;
    }
    return fileName;
}

namespace detail {

std::shared_ptr<DatabaseFile> loadFile(const QString& path, const FileSignature& signature)
{
    return std::make_shared<DatabaseFile>(openJetFile(path, &signature));
}

DbError openFailure(const QString& fileName, const QString& reason)
{
    return DbError(QStringLiteral("Impossibile aprire il database %1: %2.").arg(quoted(fileName), reason));
}

std::shared_ptr<DatabaseFile> memoryDatabase(const QString& fileName)
{
    const auto tables = memoryTables().find(fileName.toCaseFolded());
    if (tables == memoryTables().end())
        return nullptr;
    return std::make_shared<DatabaseFile>(memorySource(tables->second));
}

QString locate(const QString& fileName, FileSignature* signature)
{
    const QString resolved = resolveFileName(fileName);
    using platform::Failure;
    const platform::SystemError error =
        fileName.isEmpty() ? platform::SystemError{Failure::NotFound} : statSignature(resolved, signature);
    if (error) {
        const QString reason = (error.failure == Failure::NotFound || error.failure == Failure::NotAFolderInPath)
            ? QStringLiteral("il file non esiste")
            : error.failure == Failure::IsFolder ? QStringLiteral("è una cartella, non un file")
                                                 : kUnreadableFile;
        throw openFailure(fileName, reason);
    }
    return QFileInfo(resolved).absoluteFilePath();
}

}  // namespace detail

void registerMemoryDatabase(const QString& fileName, std::vector<TableData> tables)
{
    memoryTables()[fileName.toCaseFolded()] = std::move(tables);
}

void clearMemoryDatabases()
{
    memoryTables().clear();
}

QString escapeQuotes(const QString& value)
{
    if (!value.contains(QLatin1Char('\'')))
        return value;
    QString out = value;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

QString quotedCriteria(QLatin1String prefix, const QString& value)
{
    const QString escaped = escapeQuotes(value);
    QString text;
    text.reserve(prefix.size() + escaped.size() + 1);
    return text.append(prefix).append(escaped).append(QLatin1Char('\''));
}

// --- Database ------------------------------------------------------------------

Database::Database(std::shared_ptr<detail::DatabaseFile> file, const QString& fileName)
    : db_(std::make_shared<LoadedDatabase>()),
      fileName_(fileName)
{
    db_->file = std::move(file);
    db_->fileName = fileName;
}

Database Database::open(const QString& fileName)
{
    if (auto memory = detail::memoryDatabase(fileName))
        return Database(std::move(memory), fileName);
    detail::FileSignature signature;
    const QString path = detail::locate(fileName, &signature);
    try {
        return Database(detail::loadFile(path, signature), fileName);
    } catch (const detail::SourceFailure& failure) {
        throw detail::openFailure(fileName, failure.reason);
    }
}

LoadedDatabase& Database::openHandle() const
{
    if (!db_ || db_->closed)
        throw DbError(QStringLiteral("Il database %1 non è aperto.").arg(quoted(fileName_)));
    return *db_;
}

Recordset Database::openRecordset(const QString& tableOrSql)
{
    LoadedDatabase& handle = openHandle();
    auto state = std::make_shared<RecordsetState>();
    state->handle = db_;
    state->set = handle.file->openSet(tableOrSql, handle.fileName);
    state->position = 0;  // a fresh set stands on its first row, if any
    return Recordset(std::move(state));
}

std::optional<Value> Database::lookUp(const QString& tableOrSql, const QString& criteria, const QString& field)
{
    LoadedDatabase& handle = openHandle();
    const std::shared_ptr<detail::SetData> set = handle.file->openSet(tableOrSql, handle.fileName);
    return handle.file->lookUp(*set, criteria, field, handle.fileName);
}

void Database::close()
{
    if (db_)
        db_->closed = true;
    db_.reset();
}

// --- Recordset -----------------------------------------------------------------

Recordset::Recordset(std::shared_ptr<RecordsetState> state) : state_(std::move(state)) { }

void Recordset::findFirst(const QString& criteria)
{
    moveTo(usable(state_), criteria, false);
}

void Recordset::findNext(const QString& criteria)
{
    moveTo(usable(state_), criteria, true);
}

bool Recordset::noMatch() const
{
    return usable(state_).noMatch;
}

namespace {

int columnOf(const RecordsetState& s, const QString& name)
{
    const detail::TableInfo& table = *s.set->table;
    const int column = table.column(name);
    if (column < 0)
        throw detail::missingField(s.handle->fileName, name, table.name);
    return column;
}

}  // namespace

Value Recordset::field(const QString& name) const
{
    RecordsetState& s = usable(state_);
    detail::TableInfo& table = *s.set->table;
    const int column = columnOf(s, name);
    if (!s.row || !s.row->decoded[static_cast<size_t>(column)]) {
        detail::DatabaseFile& file = *s.handle->file;
        file.materialize(*s.set, {}, s.handle->fileName);
        if (s.position >= s.set->rowids.size())
            throw DbError(
                QStringLiteral("Nel database %1 non c'è un record corrente da cui leggere il campo %2 (tabella %3).")
                    .arg(quoted(s.handle->fileName), quoted(name), quoted(table.name)));
        const std::int64_t rowid = s.set->rowids[s.position];
        if (!s.row && file.readsFieldsAlone(table, column))
            return file.storedField(table, rowid, column, s.handle->fileName);
        s.row = file.readRow(table, rowid, column, s.row, s.handle->fileName);
    }
    return s.row->get(static_cast<size_t>(column));
}

std::vector<Value> Recordset::fieldOfEach(const QString& criteria, const QString& name) const
{
    RecordsetState& s = usable(state_);
    const int column = columnOf(s, name);
    return s.handle->file->fieldOfEach(*s.set, criteria, column, s.handle->fileName);
}

}  // namespace ostelvia::db
