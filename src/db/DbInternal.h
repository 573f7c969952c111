// The engine behind Database.h: a loaded file (DatabaseFile) copies each
// table, on first use, into an in-memory SQLite connection, where the SQL
// texts and criteria are evaluated; record sets and finds are cached there
// because the tool opens the same ones again for every card. Engine
// internals.
#pragma once

#include "db/Database.h"
#include "db/JetSql.h"
#include "db/TableSource.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct stat;

namespace ostelvia::db {

namespace detail {

// What tells a file apart from its changed self without reading it.
struct FileSignature {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool operator==(const FileSignature&) const = default;
};

// Fills the signature; on failure returns false with errno in *error.
bool statSignature(const QString& path, FileSignature* signature, int* error);
void signatureOf(const struct stat& st, FileSignature* signature);

// A small least-recently-used map.
template <class V, class K = std::string>
class LruCache {
public:
    explicit LruCache(size_t capacity) : capacity_(capacity) {}

    V* get(const K& key)
    {
        auto it = index_.find(key);
        if (it == index_.end())
            return nullptr;
        order_.splice(order_.begin(), order_, it->second);
        return &it->second->second;
    }

    void put(const K& key, V value)
    {
        // One look-up whether the key is new or not.
        const auto [slot, added] = index_.try_emplace(key);
        if (!added) {
            order_.splice(order_.begin(), order_, slot->second);
            slot->second->second = std::move(value);
            return;
        }
        try {
            order_.emplace_front(key, std::move(value));
        } catch (...) {
            index_.erase(slot);
            throw;
        }
        slot->second = order_.begin();
        if (order_.size() > capacity_) {
            index_.erase(order_.back().first);
            order_.pop_back();
        }
    }

    size_t size() const { return order_.size(); }

    void clear()
    {
        index_.clear();
        order_.clear();
    }

private:
    size_t capacity_;
    std::list<std::pair<K, V>> order_;
    std::unordered_map<K, typename std::list<std::pair<K, V>>::iterator> index_;
};

// A row decoded from the source. Long values (memos) are left out until a
// field of theirs is read: the export never reads them.
// Packed: thousands of rows are kept, and a Value per field with a text of
// its own would take three times the memory.
struct DecodedRow {
    explicit DecodedRow(size_t columns) : fields(columns) {}

    void set(size_t column, const Value& value);
    Value get(size_t column) const;

    struct Slot {
        union {
            std::int64_t integer;
            double real;
            std::int32_t textLength;
        };
        std::int32_t textOffset = 0;
        Value::Kind kind = Value::Kind::Null;
    };
    std::vector<Slot> fields;
    QString texts;          // every text value, back to back
    bool complete = false;  // long values decoded too
};
using RowPtr = std::shared_ptr<const DecodedRow>;

// A table as far as it is copied into SQLite: the rowid of every row (its
// stored position + 1) and only the columns some SQL text or criteria named.
// Whole rows are decoded from the source when a field is read.
struct TableInfo {
    QString name;  // as stored
    std::string quotedName;
    std::vector<SourceColumn> columns;
    std::map<QString, int> columnByFoldedName;
    QHash<QString, int> columnByName;  // as spelled in the file: no folding on the common path
    std::vector<bool> loaded;          // per column: copied into SQLite
    bool rowsLoaded = false;           // every row's rowid is in SQLite
    std::int64_t rowCount = 0;
    int findsRun = 0;
    std::set<QString> indexes;  // folded column names; "trim:" prefixed for Trim(col)
    // Rows read lately, by rowid: a second run over the same cards decodes
    // nothing again.
    LruCache<RowPtr, std::int64_t> rows{4096};

    // -1 when the table has no such column.
    int column(const QString& name) const;
};

using Positions = std::vector<std::int32_t>;

// The rows of one record set, in its order, and the finds made on it. The
// rows are selected on first use, when the first find names the columns it
// needs too, so the table is read once for both.
struct SetData {
    TableInfo* table = nullptr;
    bool ready = false;
    QString text;                         // as the caller wrote it, for messages
    std::string sql;                      // SELECT rowid ...
    std::vector<std::string> parameters;
    std::vector<QString> names;           // columns the text may read
    std::vector<std::int64_t> rowids;        // set order
    std::vector<std::int32_t> positionOf;    // rowid -> position, -1 when not in the set
    // Keyed by the criteria as written: a run over two years asks for some
    // ten thousand distinct names and places.
    LruCache<std::shared_ptr<const Positions>, QString> finds{16384};
};

// One loaded database file (or in-memory database), shared by every handle
// opened on it while it is unchanged.
class DatabaseFile {
public:
    // path and signature are empty for in-memory databases.
    DatabaseFile(QString path, FileSignature signature, std::unique_ptr<TableSource> source);
    ~DatabaseFile();
    DatabaseFile(const DatabaseFile&) = delete;
    DatabaseFile& operator=(const DatabaseFile&) = delete;

    const FileSignature& signature() const { return signature_; }

    // All three throw DbError naming fileName, the name the caller used.
    std::shared_ptr<SetData> openSet(const QString& tableOrSql, const QString& fileName);
    // Selects the set's rows if not done yet, copying into SQLite the columns
    // the set and `alsoNamed` need.
    void materialize(SetData& set, const std::vector<QString>& alsoNamed, const QString& fileName);
    std::shared_ptr<const Positions> find(SetData& set, const QString& criteria, const QString& fileName);
    // The row, from the cache or decoded; with `complete`, long values too.
    RowPtr readRow(TableInfo& table, std::int64_t rowid, bool complete, const QString& fileName);

    // The plan SQLite picks for a find (tests check that lookups use an index).
    QString explainFind(const QString& tableName, const QString& criteria, const QString& fileName);

    std::mutex mutex;

private:
    using StatementPtr = std::shared_ptr<sqlite3_stmt>;

    TableInfo& table(const QString& name, const QString& fileName);
    // Copies into SQLite every column of the table among `names` that is not
    // there yet (creating the table on first use).
    void ensureColumns(TableInfo& info, const std::vector<QString>& names, const QString& fileName);
    void ensureIndexes(TableInfo& info, const Expression& expression, const QString& fileName);
    // A prepared statement for the text, with the parameters bound; null
    // when SQLite rejects it.
    StatementPtr prepare(const std::string& sql, const std::vector<std::string>& parameters);
    void exec(const std::string& sql, const QString& fileName);
    [[noreturn]] void rejected(const QString& what, const QString& text, const QString& fileName, const TableInfo* info);

    QString path_;
    FileSignature signature_;
    std::unique_ptr<TableSource> source_;
    sqlite3* db_ = nullptr;
    std::map<QString, std::unique_ptr<TableInfo>> tables_;  // by folded name
    LruCache<std::shared_ptr<SetData>, QString> sets_{32};
    LruCache<StatementPtr> statements_{128};
    int nextIndex_ = 0;
};

// The loaded file behind a bare file name, as Database::open finds it
// (memory databases first, then the cache, then the disk). Throws DbError.
std::shared_ptr<DatabaseFile> openFile(const QString& fileName);

}  // namespace detail

// One open handle: Database::close() marks it closed for every record set
// opened through it, while the loaded file stays cached for other handles.
class LoadedDatabase {
public:
    std::shared_ptr<detail::DatabaseFile> file;
    QString fileName;  // as the caller wrote it, for messages
    bool closed = false;
};

class RecordsetState {
public:
    std::shared_ptr<LoadedDatabase> handle;
    std::shared_ptr<detail::SetData> set;
    size_t position = 0;  // == rowids.size() when there is no current row
    bool noMatch = false;
    detail::RowPtr row;  // null until a field of the current row is read
};

}  // namespace ostelvia::db
