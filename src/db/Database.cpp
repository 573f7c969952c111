#include "db/Database.h"

#include "db/DbInternal.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <map>
#include <mutex>

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
    std::mutex mutex;
    std::map<QString, CachedFile> files;                                // by absolute path
    std::map<std::pair<std::uint64_t, std::uint64_t>, QString> paths;  // (device, inode) -> key in files
    std::map<QString, std::shared_ptr<detail::DatabaseFile>> memory;  // by folded bare name
};

Registry& registry()
{
    // Never destroyed: tearing down every cached file, set and find at exit
    // cost the code list a tenth of its time, and the system frees it all.
    static Registry* r = new Registry;
    return *r;
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
    std::lock_guard lock(file.mutex);
    const auto matches = file.find(*s.set, criteria, fileName);
    const size_t size = s.set->rowids.size();
    // After the last row (or a failed find) there is nothing further.
    const size_t from = !next ? 0 : s.position >= size ? size : s.position + 1;
    const auto it = std::lower_bound(matches->begin(), matches->end(), static_cast<std::int32_t>(std::min<size_t>(from, INT32_MAX)));
    s.row.reset();
    if (it == matches->end()) {
        s.noMatch = true;
        s.position = size;
    } else {
        s.noMatch = false;
        s.position = static_cast<size_t>(*it);
    }
}

}  // namespace

// --- Value --------------------------------------------------------------

Value Value::integer(std::int64_t v)
{
    Value r;
    r.kind_ = Kind::Integer;
    r.integer_ = v;
    return r;
}

Value Value::real(double v)
{
    Value r;
    r.kind_ = Kind::Real;
    r.real_ = v;
    return r;
}

Value Value::text(const QString& v)
{
    Value r;
    r.kind_ = Kind::Text;
    r.text_ = v;
    return r;
}

QString Value::toText() const
{
    switch (kind_) {
    case Kind::Null:
        return {};
    case Kind::Integer:
        return QString::number(integer_);
    case Kind::Real: {
        // Shortest text that reads back as the same number, in the C locale
        // whatever the user's locale.
        char buf[64];
        const auto res = std::to_chars(buf, buf + sizeof buf, real_);
        return QString::fromLatin1(buf, res.ptr - buf);
    }
    case Kind::Text:
        return text_;
    }
    return {};
}

double Value::toNumber() const
{
    switch (kind_) {
    case Kind::Null:
        return 0;
    case Kind::Integer:
        return static_cast<double>(integer_);
    case Kind::Real:
        return real_;
    case Kind::Text: {
        QByteArray t = text_.trimmed().toLatin1();
        if (t.startsWith('+'))
            t.remove(0, 1);
        double d = 0;
        const char* end = t.constData() + t.size();
        const auto res = std::from_chars(t.constData(), end, d);
        return (res.ec == std::errc() && res.ptr == end && !t.isEmpty()) ? d : 0;
    }
    }
    return 0;
}

bool Value::operator==(const Value& other) const
{
    if (kind_ != other.kind_)
        return false;
    switch (kind_) {
    case Kind::Null:
        return true;
    case Kind::Integer:
        return integer_ == other.integer_;
    case Kind::Real:
        return real_ == other.real_;
    case Kind::Text:
        return text_ == other.text_;
    }
    return false;
}

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
    std::lock_guard lock(r.mutex);
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

void registerMemoryDatabase(const QString& fileName, std::vector<TableData> tables)
{
    auto file = std::make_shared<detail::DatabaseFile>(QString(), detail::FileSignature{}, detail::memorySource(std::move(tables)));
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.memory[fileName.toCaseFolded()] = std::move(file);
}

void clearMemoryDatabases()
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.memory.clear();
}

void clearCache()
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
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

// --- Database ------------------------------------------------------------------

Database Database::open(const QString& fileName)
{
    Database db;
    db.db_ = std::make_shared<LoadedDatabase>();
    db.db_->file = detail::openFile(fileName);
    db.db_->fileName = fileName;
    db.fileName_ = fileName;
    return db;
}

Recordset Database::openRecordset(const QString& tableOrSql)
{
    if (!db_ || db_->closed)
        throw DbError(QStringLiteral("Il database %1 non è aperto.").arg(quoted(fileName_)));
    auto state = std::make_shared<RecordsetState>();
    state->handle = db_;
    {
        std::lock_guard lock(db_->file->mutex);
        state->set = db_->file->openSet(tableOrSql, db_->fileName);
    }
    state->position = 0;  // a fresh set stands on its first row, if any
    return Recordset(std::move(state));
}

void Database::close()
{
    if (db_)
        db_->closed = true;
    db_.reset();
}

// --- Recordset -----------------------------------------------------------------

Recordset::Recordset(std::shared_ptr<RecordsetState> state) : state_(std::move(state)) {}

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

Value Recordset::field(const QString& name) const
{
    RecordsetState& s = usable(state_);
    detail::TableInfo& table = *s.set->table;
    const int column = table.column(name);
    if (column < 0)
        throw DbError(QStringLiteral("Nel database %1 manca il campo %2 (tabella %3).")
                          .arg(quoted(s.handle->fileName), quoted(name), quoted(table.name)));
    const bool isLong = table.columns[static_cast<size_t>(column)].isLong;
    if (!s.row || (isLong && !s.row->complete)) {
        detail::DatabaseFile& file = *s.handle->file;
        std::lock_guard lock(file.mutex);
        file.materialize(*s.set, {}, s.handle->fileName);
        if (s.position >= s.set->rowids.size())
            throw DbError(QStringLiteral("Nel database %1 non c'è un record corrente da cui leggere il campo %2 (tabella %3).")
                              .arg(quoted(s.handle->fileName), quoted(name), quoted(table.name)));
        s.row = file.readRow(table, s.set->rowids[s.position], isLong, s.handle->fileName);
    }
    return s.row->get(static_cast<size_t>(column));
}

}  // namespace ostelvia::db
