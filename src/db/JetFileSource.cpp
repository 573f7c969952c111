// SPDX-License-Identifier: GPL-3.0-or-later
// libmdb's header wraps its includes in extern "C", glib's among them, which
// glib does not survive from C++: glib must come first.
#include <glib.h>
#include <mdbtools.h>

#include "db/FileCheck.h"
#include "db/FileSignature.h"
#include "db/StoredText.h"
#include "db/TableSource.h"

#include "platform/Platform.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <set>
#include <string>
#include <utility>

namespace ostelvia::db::detail {

namespace {

constexpr int kOffsetMask = 0x1fff;
// The flags of a row's offset. A row that grew past its page moves
// elsewhere and leaves behind a row holding only where its copy now lives
// (kMovedAway); the copy, like a deleted row, carries kPassedOver, so a scan
// reaches it through its pointer only. A deleted pointer row has both.
constexpr int kMovedAway = 0x4000;
constexpr int kPassedOver = 0x8000;
// Longest memo read whole; anything longer is cut there.
constexpr size_t kMaxMemoBytes = size_t(64) << 20;

// libmdb tells of every page or row it cannot read in English on standard
// error, and has no switch to stop it: the headless command promises a
// single line of its own. While one of these lives, stdio's standard error
// goes nowhere; the engine reads its files on one thread, and nesting
// restores the outermost stream last.
class LibraryQuiet {
public:
    LibraryQuiet()
    {
        if (depth_++ > 0)
            return;
        outer_ = platform::muteStandardError();
    }
    ~LibraryQuiet()
    {
        if (--depth_ == 0)
            platform::restoreStandardError(outer_);
    }
    LibraryQuiet(const LibraryQuiet&) = delete;
    LibraryQuiet& operator=(const LibraryQuiet&) = delete;

    // Gives the caller's code back its own standard error while it runs
    // within a quiet stretch (a row handed over during a scan); a source
    // read from there is quiet again.
    class Pause {
    public:
        Pause() : savedDepth_(std::exchange(depth_, 0))
        {
            if (savedDepth_ > 0)
                platform::restoreStandardError(outer_);
        }
        ~Pause()
        {
            depth_ = savedDepth_;
            if (savedDepth_ > 0)
                outer_ = platform::muteStandardError();
        }
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;

    private:
        int savedDepth_;
    };

private:
    static inline int depth_ = 0;
    static inline std::intptr_t outer_ = 0;
};

// Cheap checks that keep libmdb away from files it would misread: a Jet or
// ACE header and a size that is a whole number of pages, two at least.
void checkHeader(const QString& path)
{
    const platform::ReadFile file(path, platform::ReadFile::Links::Follow);
    if (!file.isOpen())
        throw SourceFailure{kUnreadableFile};
    // Anything but a regular file (a FIFO, a device) is never read: it may
    // never end, or never answer.
    if (const QString reason = platform::kindReason(file.kind()); !reason.isEmpty())
        throw SourceFailure{file.kind() == platform::EntryKind::Folder ? QStringLiteral("è una cartella, non un file")
                                                                       : reason};
    platform::FileSignature st;
    unsigned char header[0x20] = {};
    platform::SystemError error;
    const std::int64_t got =
        file.signature(&st) ? -1 : file.readAt(0, reinterpret_cast<char*>(header), sizeof header, &error);
    if (got < 0)
        throw SourceFailure{kUnreadableFile};

    const QString notJet = QStringLiteral("il file non è un database Access valido");
    static const unsigned char magic[4] = {0x00, 0x01, 0x00, 0x00};
    if (got < static_cast<std::int64_t>(sizeof header) || std::memcmp(header, magic, 4) != 0
        || (std::memcmp(header + 4, "Standard Jet DB", 16) != 0 && std::memcmp(header + 4, "Standard ACE DB", 16) != 0))
        throw SourceFailure{notJet};
    const unsigned version = header[0x14];
    if (version > MDB_VER_ACCDB_2019)
        throw SourceFailure{notJet};
    const std::int64_t pageSize = version == MDB_VER_JET3 ? 2048 : 4096;
    if (st.size < 2 * pageSize || st.size % pageSize != 0)
        throw SourceFailure{QStringLiteral("il file è danneggiato o troncato")};
}

Column::Type columnType(int mdbType)
{
    switch (mdbType) {
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_COMPLEX:
        return Column::Type::Integer;
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_MONEY:
    case MDB_NUMERIC:
        return Column::Type::Real;
    default:
        return Column::Type::Text;
    }
}

// A single read as its shortest decimal form, so 0.1 stays 0.1 as a double.
double singleToDouble(float f)
{
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, f);
    double d = f;
    std::from_chars(buf, res.ptr, d);
    return d;
}

std::int64_t readInt64(const unsigned char* p)
{
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return static_cast<std::int64_t>(v);
}

// The whole file, read once: libmdb reads its pages from this copy.
class Snapshot {
public:
    Snapshot() = default;
    explicit Snapshot(size_t size) : size_(size)
    {
        try {
            data_ = std::make_unique_for_overwrite<char[]>(size);
        } catch (const std::bad_alloc&) {
            throw SourceFailure{QStringLiteral("memoria insufficiente")};
        }
    }

    char* data() const { return data_.get(); }
    size_t size() const { return size_; }

private:
    std::unique_ptr<char[]> data_;
    size_t size_ = 0;
};

Snapshot readWhole(const QString& path, const FileSignature* expected)
{
    const platform::ReadFile file(path, platform::ReadFile::Links::Follow);
    FileSignature before;
    if (!file.isOpen() || file.kind() != platform::EntryKind::Regular || file.signature(&before) || before.size < 0)
        throw SourceFailure{kUnreadableFile};
    Snapshot bytes(static_cast<size_t>(before.size));
    platform::SystemError error;
    // A file that shrank while read is no whole copy.
    if (file.readFromStart(bytes.data(), before.size, &error) != before.size)
        throw SourceFailure{kUnreadableFile};
    if (expected) {
        FileSignature after;
        if (file.signature(&after))
            throw SourceFailure{kUnreadableFile};
        if (!(after == *expected))
            throw SourceFailure{QStringLiteral("il file è cambiato durante la lettura"), true};
    }
    return bytes;
}

class JetFileSource final : public TableSource {
public:
    JetFileSource(const QString& path, const FileSignature* signature)
    {
        const LibraryQuiet quiet;
        checkHeader(path);
        bytes_ = readWhole(path, signature);
        const QByteArray local = path.toLocal8Bit();
        mdb_ = mdb_open(local.constData(), MDB_NOFLAGS);
        if (!mdb_)
            throw SourceFailure{QStringLiteral("il file non è un database Access valido")};
        // From here on every page comes from the copy in memory.
        FILE* copy = platform::streamOver(bytes_.data(), bytes_.size());
        if (!copy) {
            mdb_close(mdb_);
            throw SourceFailure{QStringLiteral("memoria insufficiente")};
        }
        std::fclose(mdb_->f->stream);
        mdb_->f->stream = copy;
        mdb_->cur_pg = 0;
        mdb_set_date_fmt(mdb_, "%Y-%m-%d %H:%M:%S");
        // The catalog is read once and kept: mdb_read_table_by_name would
        // free it under a table still in use.
        GPtrArray* catalog = mdb_read_catalog(mdb_, MDB_TABLE);
        if (!catalog) {
            mdb_close(mdb_);
            throw SourceFailure{QStringLiteral("il catalogo delle tabelle non è leggibile")};
        }
        for (guint i = 0; i < catalog->len; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalog, i));
            if (entry && entry->object_type == MDB_TABLE)
                entries_.push_back(entry);
        }
    }

    ~JetFileSource() override
    {
        for (auto& [name, table] : tables_)
            mdb_free_tabledef(table.def);
        mdb_close(mdb_);
    }

    JetFileSource(const JetFileSource&) = delete;
    JetFileSource& operator=(const JetFileSource&) = delete;

    QString findTable(const QString& name) const override
    {
        const MdbCatalogEntry* entry = find(name);
        return entry ? QString::fromUtf8(entry->object_name) : QString();
    }

    std::vector<SourceColumn> columns(const QString& storedName) override
    {
        const Table& t = open(storedName);
        std::vector<SourceColumn> columns(t.cols.size());
        for (size_t i = 0; i < t.cols.size(); ++i)
            columns[i] = {QString::fromUtf8(t.cols[i]->name), columnType(t.cols[i]->col_type),
                          t.cols[i]->col_type == MDB_MEMO};
        return columns;
    }

    // The count the table definition records, unless it is more rows than
    // the file could hold (every row takes more than 4 bytes of a page).
    std::int64_t expectedRows(const QString& storedName) override
    {
        const std::uint64_t recorded = open(storedName).def->num_rows;
        return recorded <= bytes_.size() / 4 ? static_cast<std::int64_t>(recorded) : 0;
    }

    void scan(const QString& storedName, const std::vector<int>& wanted, const RowCallback& onRow) override
    {
        const LibraryQuiet quiet;
        Table& t = open(storedName);
        MdbTableDef* table = t.def;
        std::vector<Cell> cells(wanted.size());
        const std::vector<int> slotOf = slotsOf(t, wanted);
        const bool firstScan = !t.scanned;
        if (firstScan) {
            t.rows.clear();
            t.rows.reserve(static_cast<size_t>(expectedRows(storedName)));
        }
        size_t row = 0;
        RowPlace place{};
        t.copiesReached.clear();
        mdb_rewind_table(table);
        while (nextRow(t, &place)) {
            if (firstScan)
                t.rows.push_back(place);
            else if (row >= t.rows.size() || t.rows[row].page != place.page || t.rows[row].index != place.index)
                throw SourceFailure{QStringLiteral("le righe della tabella sono cambiate")};
            deliverRow(t, slotOf, cells, onRow);
            ++row;
        }
        if (!firstScan && row != t.rows.size())
            throw SourceFailure{QStringLiteral("le righe della tabella sono cambiate")};
        // libmdb skips what it cannot read (a damaged page or row) without a
        // word: the count kept in the table definition tells a short read.
        if (firstScan && row != table->num_rows)
            throw SourceFailure{QStringLiteral("il file è danneggiato (lette %1 righe delle %2 registrate)")
                                    .arg(row)
                                    .arg(table->num_rows)};
        t.scanned = true;
    }

    void readRow(const QString& storedName, std::int64_t row, const std::vector<int>& wanted,
                 const RowCallback& onRow) override
    {
        const LibraryQuiet quiet;
        Table& t = open(storedName);
        if (!t.scanned || row < 0 || static_cast<std::uint64_t>(row) >= t.rows.size())
            throw SourceFailure{QStringLiteral("la riga non esiste")};
        const RowPlace place = t.rows[static_cast<size_t>(row)];
        if (mdb_read_pg(mdb_, place.page) <= 0)
            throw SourceFailure{QStringLiteral("la pagina della riga non è leggibile")};
        int start = 0;
        if (!crack(t, place.index, &start))
            throw SourceFailure{QStringLiteral("la riga non è leggibile")};
        std::vector<Cell> cells(wanted.size());
        const std::vector<int> slotOf = slotsOf(t, wanted);
        deliverRow(t, slotOf, cells, onRow);
    }

private:
    // Where a row's values live: its data page and its index on that page,
    // 1-based as table->cur_row leaves it after mdb_fetch_row. For a row that
    // moved, the place of its copy.
    struct RowPlace {
        std::uint32_t page;
        unsigned index;
        bool operator<(const RowPlace& other) const
        {
            return page != other.page ? page < other.page : index < other.index;
        }
    };
    struct Table {
        MdbTableDef* def = nullptr;
        std::vector<MdbColumn*> cols;
        std::vector<RowPlace> rows;
        bool scanned = false;
        std::uint32_t scanPage = 0;  // the data page a scan is walking
        std::set<RowPlace> copiesReached;
    };

    // For each column of the table, its place in a row of the wanted
    // columns, or -1 when it is not wanted.
    static std::vector<int> slotsOf(const Table& t, const std::vector<int>& wanted)
    {
        std::vector<int> slotOf(t.cols.size(), -1);
        for (size_t i = 0; i < wanted.size(); ++i)
            if (wanted[i] >= 0 && static_cast<size_t>(wanted[i]) < t.cols.size())
                slotOf[static_cast<size_t>(wanted[i])] = static_cast<int>(i);
        return slotOf;
    }

    // Hands the wanted cells of the row just cracked to onRow, then frees
    // the texts they point into.
    void deliverRow(const Table& t, const std::vector<int>& slotOf, std::vector<Cell>& cells, const RowCallback& onRow)
    {
        std::fill(cells.begin(), cells.end(), Cell{});
        const size_t numCols = t.cols.size();
        for (unsigned i = 0; i < numCols; ++i) {
            const MdbField& f = fields_[i];
            if (f.colnum < 0 || static_cast<size_t>(f.colnum) >= numCols)
                continue;
            const int slot = slotOf[static_cast<size_t>(f.colnum)];
            if (slot >= 0)
                cells[static_cast<size_t>(slot)] = readCell(t.cols[static_cast<size_t>(f.colnum)], f);
        }
        try {
            const LibraryQuiet::Pause loud;
            onRow(cells);
        } catch (...) {
            releaseTexts();
            throw;
        }
        releaseTexts();
    }

    Table& open(const QString& storedName)
    {
        if (auto it = tables_.find(storedName); it != tables_.end())
            return it->second;
        MdbCatalogEntry* entry = find(storedName);
        if (!entry)
            throw SourceFailure{QStringLiteral("la tabella non esiste")};
        const LibraryQuiet quiet;
        MdbTableDef* table = mdb_read_table(entry);
        if (!table)
            throw SourceFailure{QStringLiteral("la definizione della tabella non è leggibile")};
        if (!mdb_read_columns(table) || !table->columns || table->num_cols > MDB_MAX_COLS) {
            mdb_free_tabledef(table);
            throw SourceFailure{QStringLiteral("le colonne della tabella non sono leggibili")};
        }
        Table t;
        t.def = table;
        t.cols.resize(table->num_cols);
        for (unsigned i = 0; i < table->num_cols; ++i)
            t.cols[i] = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        return tables_.emplace(storedName, std::move(t)).first->second;
    }

    // Splits the row `index` (1-based) of the page in the buffer into fields_.
    bool crack(Table& t, unsigned index, int* start)
    {
        size_t size = 0;
        if (index == 0 || mdb_find_row(mdb_, static_cast<int>(index) - 1, start, &size) != 0)
            return false;
        *start &= kOffsetMask;
        return crackAt(t, *start, size);
    }

    bool crackAt(Table& t, int start, size_t size)
    {
        if (!rowFitsPage(mdb_->pg_buf, static_cast<size_t>(mdb_->fmt->pg_size), IS_JET3(mdb_), start, size,
                         t.def->num_var_cols > 0))
            return false;
        return mdb_crack_row(t.def, start, size, fields_.data()) >= 0;
    }

    // Moves to the next live row of a rewound table and cracks it into
    // fields_; false after the last. Walks the data pages as mdb_fetch_row
    // does, skipping the rows it cannot read, but cracks each row once:
    // mdb_fetch_row cracks it for values bound to columns, which lose the
    // null mask, and then it had to be cracked again. That second crack was
    // a sixth of reading the history for a month. Unlike mdb_fetch_row it
    // passes over every kPassedOver row and reads a moved row through its
    // pointer, so an edited card is read once and a deleted one never.
    bool nextRow(Table& t, RowPlace* place)
    {
        MdbTableDef* table = t.def;
        if (table->cur_pg_num == 0) {
            table->cur_pg_num = 1;
            table->cur_row = 0;
            if (!mdb_read_next_dpg(table))
                return false;
            // The buffer's page, not cur_phys_pg: libmdb's page-by-page read
            // (a damaged usage map) leaves that one past it.
            t.scanPage = static_cast<std::uint32_t>(mdb_->cur_pg);
        }
        const auto pageSize = static_cast<ssize_t>(mdb_->fmt->pg_size);
        for (;;) {
            // A moved row's copy left its own page in the buffer.
            if (mdb_->cur_pg != t.scanPage && mdb_read_pg(mdb_, t.scanPage) != pageSize)
                throw SourceFailure{kUnreadableFile};
            const unsigned rows = mdb_get_int16(mdb_->pg_buf, mdb_->fmt->row_count_offset);
            if (table->cur_row >= rows) {
                table->cur_row = 0;
                if (!mdb_read_next_dpg(table))
                    return false;
                t.scanPage = static_cast<std::uint32_t>(mdb_->cur_pg);
                continue;
            }
            const unsigned index = ++table->cur_row;  // 1-based, where mdb_fetch_row leaves it
            int start = 0;
            size_t size = 0;
            if (mdb_find_row(mdb_, static_cast<int>(index) - 1, &start, &size) != 0 || size == 0
                || (start & kPassedOver))
                continue;
            *place = {t.scanPage, index};
            if (start & kMovedAway)
                moveToCopy(t, start & kOffsetMask, size, place, &start, &size);
            if (crackAt(t, start & kOffsetMask, size))
                return true;
        }
    }

    // Puts the page of the copy that the pointer row at `start` names into
    // the buffer and tells where that copy is. A pointer is four bytes: the
    // copy's row index, then its page number in three. It must name a
    // passed-over row of one of this table's data pages that no other
    // pointer named, and never another pointer: anything else is damage,
    // and following it could read rows twice or go round in circles.
    void moveToCopy(Table& t, int start, size_t size, RowPlace* place, int* copyStart, size_t* copySize)
    {
        const QString damaged = QStringLiteral("il file è danneggiato (una riga spostata non è leggibile)");
        if (size < 4)
            throw SourceFailure{damaged};
        const unsigned char* pointer = mdb_->pg_buf + start;
        const unsigned index = pointer[0];
        const std::uint32_t page =
            std::uint32_t(pointer[1]) | std::uint32_t(pointer[2]) << 8 | std::uint32_t(pointer[3]) << 16;
        const auto pageSize = static_cast<size_t>(mdb_->fmt->pg_size);
        if (page == 0 || page >= bytes_.size() / pageSize || mdb_read_pg(mdb_, page) != static_cast<ssize_t>(pageSize))
            throw SourceFailure{damaged};
        unsigned char* buf = mdb_->pg_buf;
        const unsigned rows = mdb_get_int16(buf, mdb_->fmt->row_count_offset);
        if (buf[0] != MDB_PAGE_DATA || static_cast<std::uint32_t>(mdb_get_int32(buf, 4)) != t.def->entry->table_pg
            || index >= rows)
            throw SourceFailure{damaged};
        if (mdb_find_row(mdb_, static_cast<int>(index), copyStart, copySize) != 0 || *copySize == 0
            || (*copyStart & kMovedAway) || !(*copyStart & kPassedOver))
            throw SourceFailure{damaged};
        *place = {page, index + 1};
        if (!t.copiesReached.insert(*place).second)
            throw SourceFailure{damaged};
    }

    void releaseTexts()
    {
        for (char* p : owned_)
            g_free(p);
        owned_.clear();
    }

    MdbCatalogEntry* find(const QString& name) const
    {
        MdbCatalogEntry* systemMatch = nullptr;
        for (MdbCatalogEntry* entry : entries_) {
            if (QString::fromUtf8(entry->object_name).compare(name, Qt::CaseInsensitive) != 0)
                continue;
            if (mdb_is_user_table(entry))
                return entry;
            if (!systemMatch)
                systemMatch = entry;
        }
        return systemMatch;
    }

    Cell text(char* converted)
    {
        Cell cell;
        cell.kind = Value::Kind::Text;
        if (converted) {
            owned_.push_back(converted);
            cell.text = converted;
        }
        return cell;
    }

    Cell readCell(MdbColumn* col, const MdbField& f)
    {
        Cell cell;
        unsigned char* buf = mdb_->pg_buf;
        const int start = f.start;
        if (col->col_type == MDB_BOOL) {
            // Jet keeps a yes/no value in the null mask; yes is -1, as Access shows it.
            cell.kind = Value::Kind::Integer;
            cell.integer = f.is_null ? 0 : -1;
            return cell;
        }
        if (f.is_null)
            return cell;
        const int fixed = mdb_col_fixed_size(col);
        if (fixed > 0 && f.siz < fixed)
            return cell;  // damaged row: no value rather than bytes of the next one
        switch (col->col_type) {
        case MDB_BYTE:
            cell.kind = Value::Kind::Integer;
            cell.integer = mdb_get_byte(buf, start);
            return cell;
        case MDB_INT:
            cell.kind = Value::Kind::Integer;
            cell.integer = static_cast<std::int16_t>(mdb_get_int16(buf, start));
            return cell;
        case MDB_LONGINT:
        case MDB_COMPLEX:
            cell.kind = Value::Kind::Integer;
            cell.integer = static_cast<std::int32_t>(mdb_get_int32(buf, start));
            return cell;
        case MDB_FLOAT:
            cell.kind = Value::Kind::Real;
            cell.real = singleToDouble(mdb_get_single(buf, start));
            return cell;
        case MDB_DOUBLE:
            cell.kind = Value::Kind::Real;
            cell.real = mdb_get_double(buf, start);
            return cell;
        case MDB_MONEY:
            // Currency is a 64-bit integer scaled by 10,000.
            cell.kind = Value::Kind::Real;
            cell.real = static_cast<double>(readInt64(buf + start)) / 10000.0;
            return cell;
        case MDB_NUMERIC: {
            char* s = mdb_numeric_to_string(mdb_, start, col->col_scale, col->col_prec);
            if (!s)
                return cell;
            double d = 0;
            const char* end = s + std::strlen(s);
            const auto res = std::from_chars(s, end, d);
            g_free(s);
            if (res.ec == std::errc()) {
                cell.kind = Value::Kind::Real;
                cell.real = d;
            }
            return cell;
        }
        case MDB_TEXT: {
            if (f.siz <= 0)
                return text(nullptr);
            // Converted into a buffer of the column's own, kept from row to
            // row, rather than into a new string for every field: a run
            // reads a dozen texts for each of 100,000 stored cards. A stored
            // byte never needs more than two UTF-8 bytes.
            std::string& buffer = textBuffers_[static_cast<size_t>(f.colnum)];
            const size_t room = std::max(static_cast<size_t>(f.siz) * 2 + 16, jet4TextRoom(static_cast<size_t>(f.siz)));
            if (buffer.size() < room)
                buffer.resize(room);
            const auto* stored = buf + start;
            const size_t length = IS_JET3(mdb_)
                ? static_cast<size_t>(std::max(mdb_unicode2ascii(mdb_, reinterpret_cast<const char*>(stored),
                                                                 static_cast<size_t>(f.siz), buffer.data(), room),
                                               0))
                : decodeJet4Text(stored, static_cast<size_t>(f.siz), buffer.data());
            cell.kind = Value::Kind::Text;
            cell.text = std::string_view(buffer.data(), length);
            return cell;
        }
        case MDB_MEMO: {
            if (f.siz < MDB_MEMO_OVERHEAD)
                return text(nullptr);
            const std::uint32_t header = static_cast<std::uint32_t>(mdb_get_int32(buf, start));
            const auto* file = reinterpret_cast<const unsigned char*>(bytes_.data());
            if (!memoKindKnown(header)
                || (!(header & 0x80000000u)
                    && !memoPagesSound(file, bytes_.size(), static_cast<size_t>(mdb_->fmt->pg_size), IS_JET3(mdb_),
                                       header, static_cast<std::uint32_t>(mdb_get_int32(buf, start + 4))))) {
                releaseTexts();
                throw SourceFailure{QStringLiteral("il file è danneggiato (un campo memo non è leggibile)")};
            }
            size_t stored =
                (header & 0x80000000u) ? static_cast<size_t>(f.siz - MDB_MEMO_OVERHEAD) : (header & 0x3fffffffu);
            const size_t bind = std::clamp(stored * 2 + 16, size_t(256), kMaxMemoBytes);
            mdb_set_bind_size(mdb_, bind);
            return text(mdb_col_to_string(mdb_, buf, start, MDB_MEMO, f.siz));
        }
        case MDB_DATETIME:
        case MDB_REPID:
            mdb_set_bind_size(mdb_, 256);
            return text(mdb_col_to_string(mdb_, buf, start, col->col_type, f.siz));
        default:
            // Binary and OLE fields are not read: the tool has no use for them.
            return cell;
        }
    }

    Snapshot bytes_;
    MdbHandle* mdb_ = nullptr;
    std::vector<MdbCatalogEntry*> entries_;
    std::map<QString, Table> tables_;  // by stored name
    std::array<MdbField, MDB_MAX_COLS + 1> fields_{};
    std::vector<char*> owned_;                               // texts of the row being handed over
    std::array<std::string, MDB_MAX_COLS + 1> textBuffers_;  // by column number
};

}  // namespace

std::unique_ptr<TableSource> openJetFile(const QString& path, const FileSignature* signature)
{
    return std::make_unique<JetFileSource>(path, signature);
}

}  // namespace ostelvia::db::detail
