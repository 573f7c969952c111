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

struct CachedFile {
    detail::FileSignature signature;
    std::shared_ptr<detail::DatabaseFile> file;
};

struct Registry {
    std::map<QString, CachedFile> files;                               // by absolute path
    std::map<std::pair<std::uint64_t, std::uint64_t>, QString> paths;  // (device, inode) -> key in files
    std::map<QString, std::shared_ptr<detail::DatabaseFile>> memory;   // by folded bare name
    int openRuns = 0;
    QHash<QString, std::shared_ptr<detail::DatabaseFile>> openedInRun;  // by the name as the caller wrote it
    std::vector<detail::RunMemoBase*> memos;
};

Registry& registry()
{
    // Never destroyed: tearing down every cached file, set and find at exit
    // cost the code list a tenth of its time, and the system frees it all.
    static Registry* r = new Registry;
    return *r;
}

void forgetRunAnswers()
{
    for (detail::RunMemoBase* memo : registry().memos)
        memo->forget();
}

// Inside a run, a file is checked for changes on disk at its first open
// only; later opens in the run get the file as it was then. The tool
// opens "Comuni.mdb" some eight times per card, and a stat at every open
// was a quarter of a card's cost. Jet itself works alike: it reads pages
// from its cache and sees another user's changes only after its page
// time-out. What the user relies on still holds: a clerk who fixes a card
// in the front office and runs again sees the fix, because every run checks
// afresh; and one run never mixes two versions of a file.
std::shared_ptr<detail::DatabaseFile> openForRun(const QString& fileName)
{
    Registry& r = registry();
    if (r.openRuns == 0)
        return detail::openFile(fileName);
    if (auto it = r.openedInRun.constFind(fileName); it != r.openedInRun.constEnd())
        return it.value();
    auto file = detail::openFile(fileName);
    r.openedInRun.insert(fileName, file);
    return file;
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
    if (fileName.isEmpty() || QFileInfo::exists(fileName))
        return fileName;
    const QFileInfo info(fileName);
    const QString wanted = info.fileName();
    const QDir dir = info.dir();
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
        return slash < 0 ? entry : fileName.left(slash + 1) + entry;
    }
    return fileName;
}

namespace detail {

std::shared_ptr<DatabaseFile> openFile(const QString& fileName)
{
    Registry& r = registry();
    if (!r.memory.empty())
        if (auto it = r.memory.find(fileName.toCaseFolded()); it != r.memory.end())
            return it->second;

    // The tool opens the same few files for every card: a name that is on
    // disk as written and stands for a file already loaded costs one stat.
    {
        FileSignature signature;
        int error = 0;
        if (!fileName.isEmpty() && statSignature(fileName, &signature, &error)) {
            if (auto p = r.paths.find({signature.device, signature.inode}); p != r.paths.end())
                if (auto it = r.files.find(p->second); it != r.files.end() && it->second.signature == signature)
                    return it->second.file;
        }
    }

    const QString resolved = resolveFileName(fileName);
    FileSignature signature;
    int error = 0;
    if (fileName.isEmpty() || !statSignature(resolved, &signature, &error)) {
        const QString reason = (fileName.isEmpty() || error == ENOENT || error == ENOTDIR)
            ? QStringLiteral("il file non esiste")
            : error == EISDIR ? QStringLiteral("è una cartella, non un file")
                              : kUnreadableFile;
        throw DbError(QStringLiteral("Impossibile aprire il database %1: %2.").arg(quoted(fileName), reason));
    }
    const QString key = QFileInfo(resolved).absoluteFilePath();
    if (auto it = r.files.find(key); it != r.files.end()) {
        if (it->second.signature == signature)
            return it->second.file;
        r.paths.erase({it->second.signature.device, it->second.signature.inode});
        r.files.erase(it);
    }
    std::shared_ptr<DatabaseFile> file;
    try {
        file = std::make_shared<DatabaseFile>(key, signature, openJetFile(key, &signature));
    } catch (const SourceFailure& failure) {
        throw DbError(QStringLiteral("Impossibile aprire il database %1: %2.").arg(quoted(fileName), failure.reason));
    }
    r.files[key] = {signature, file};
    r.paths[{signature.device, signature.inode}] = key;
    return file;
}

}  // namespace detail

RunScope::RunScope()
{
    Registry& r = registry();
    if (r.openRuns++ == 0)
        r.openedInRun.clear();
}

RunScope::~RunScope()
{
    Registry& r = registry();
    if (--r.openRuns == 0) {
        r.openedInRun.clear();
        forgetRunAnswers();
    }
}

namespace detail {

RunMemoBase::RunMemoBase()
{
    registry().memos.push_back(this);
}

RunMemoBase::~RunMemoBase()
{
    std::vector<RunMemoBase*>& memos = registry().memos;
    memos.erase(std::remove(memos.begin(), memos.end(), this), memos.end());
}

bool RunMemoBase::inRun()
{
    return registry().openRuns > 0;
}

}  // namespace detail

void registerMemoryDatabase(const QString& fileName, std::vector<TableData> tables)
{
    forgetRunAnswers();
    auto file = std::make_shared<detail::DatabaseFile>(QString(), detail::FileSignature{},
                                                       detail::memorySource(std::move(tables)));
    Registry& r = registry();
    r.memory[fileName.toCaseFolded()] = std::move(file);
}

void clearMemoryDatabases()
{
    forgetRunAnswers();
    Registry& r = registry();
    r.memory.clear();
}

void clearCache()
{
    forgetRunAnswers();
    Registry& r = registry();
    r.files.clear();
    r.paths.clear();
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

Database Database::open(const QString& fileName)
{
    Database db;
    db.db_ = std::make_shared<LoadedDatabase>();
    db.db_->file = openForRun(fileName);
    db.db_->fileName = fileName;
    db.fileName_ = fileName;
    return db;
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
