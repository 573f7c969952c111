// SPDX-License-Identifier: GPL-3.0-or-later
// Rows a front office moved while editing: a card that grew lives on as a
// copy reached through a pointer row. Each live card must be read once, a
// deleted one never, and a pointer that leads nowhere sound must fail as
// damage. The file is the current guests after card 498639 was edited to
// grow and then deleted.
#include "TestSupport.h"

#include "db/TableSource.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

using ostelvia::db::detail::Cell;
using ostelvia::db::detail::openJetFile;
using ostelvia::db::detail::SourceFailure;
using ostelvia::db::detail::TableSource;

namespace {

constexpr int kPage = 4096;
constexpr int kDeletedCard = 498639;
const QString kTable = QStringLiteral("Scheda_Cliente");

unsigned readLe(const QByteArray& bytes, int at, int length)
{
    unsigned value = 0;
    for (int i = length - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

void writeLe(QByteArray& bytes, int at, int length, unsigned value)
{
    for (int i = 0; i < length; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xff);
}

// Where a row's offset is kept: its page's slot for that row.
struct Slot {
    int page = 0;
    int row = 0;
    int at() const { return page * kPage + 14 + 2 * row; }
};

// The offset slots of data rows owned by `owner` whose flags are `flags`.
std::vector<Slot> slotsFlagged(const QByteArray& file, unsigned owner, unsigned flags)
{
    std::vector<Slot> found;
    for (int page = 1; page < file.size() / kPage; ++page) {
        const int base = page * kPage;
        if (file[base] != 0x01 || readLe(file, base + 4, 4) != owner)
            continue;
        const int rows = static_cast<int>(readLe(file, base + 12, 2));
        for (int row = 0; row < rows; ++row)
            if ((readLe(file, base + 14 + 2 * row, 2) & 0xc000) == flags)
                found.push_back({page, row});
    }
    return found;
}

int rowStart(const QByteArray& file, const Slot& slot)
{
    return slot.page * kPage + static_cast<int>(readLe(file, slot.at(), 2) & 0x1fff);
}

// The cards table's definition page: the owner of the data page that holds
// the deleted pointer row (the file has only that one).
struct LiveFile {
    QByteArray bytes = ostelvia::test::readBytes(ostelvia::test::fixtureDir(QStringLiteral("live"))
                                                 + QStringLiteral("/Scheda_Cliente.mdb"));
    Slot pointer;
    unsigned table = 0;

    LiveFile()
    {
        for (int page = 1; page < bytes.size() / kPage && table == 0; ++page)
            if (bytes[page * kPage] == 0x01) {
                const unsigned owner = readLe(bytes, page * kPage + 4, 4);
                const std::vector<Slot> pointers = slotsFlagged(bytes, owner, 0xc000);
                if (!pointers.empty()) {
                    pointer = pointers.front();
                    table = owner;
                }
            }
    }

    // The pointer row live again, and one more row in the recorded count:
    // the card edited and not deleted.
    QByteArray withLivePointer() const
    {
        QByteArray copy = bytes;
        writeLe(copy, pointer.at(), 2, readLe(copy, pointer.at(), 2) & ~0x8000u);
        const int count = static_cast<int>(table) * kPage + 16;
        writeLe(copy, count, 4, readLe(copy, count, 4) + 1);
        return copy;
    }
};

struct Read {
    std::vector<std::int64_t> cards;  // NumeroComponente in row order
    std::int64_t recorded = 0;
    std::unique_ptr<TableSource> source;
    int column = -1;
};

Read readCards(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath(QStringLiteral("Scheda_Cliente.mdb"));
    ostelvia::test::writeBytes(path, bytes);
    Read read;
    read.source = openJetFile(path);
    const auto columns = read.source->columns(kTable);
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == QStringLiteral("NumeroComponente"))
            read.column = static_cast<int>(i);
    read.recorded = read.source->expectedRows(kTable);
    read.source->scan(kTable, {read.column},
                      [&](const std::vector<Cell>& cells) { read.cards.push_back(cells[0].integer); });
    return read;
}

std::int64_t cardAt(Read& read, std::int64_t row)
{
    std::int64_t card = -1;
    read.source->readRow(kTable, row, {read.column}, [&](const std::vector<Cell>& cells) { card = cells[0].integer; });
    return card;
}

}  // namespace

TEST(MovedRows, EveryLiveCardIsReadOnceAndTheDeletedOneNever)
{
    const LiveFile live;
    ASSERT_NE(live.table, 0u) << "the fixture has no deleted pointer row";
    QTemporaryDir dir;
    Read read = readCards(dir, live.bytes);

    EXPECT_EQ(static_cast<std::int64_t>(read.cards.size()), read.recorded);
    std::map<std::int64_t, int> seen;
    for (std::int64_t card : read.cards)
        ++seen[card];
    EXPECT_EQ(seen.size(), read.cards.size()) << "a card was read twice";
    EXPECT_EQ(seen.count(kDeletedCard), 0u);
    // Row numbers reach the rows the scan handed over, also on a later scan.
    for (std::int64_t row : {std::int64_t(0), std::int64_t(read.cards.size() / 2), read.recorded - 1})
        EXPECT_EQ(cardAt(read, row), read.cards[static_cast<size_t>(row)]) << row;
    std::vector<std::int64_t> again;
    read.source->scan(kTable, {read.column},
                      [&](const std::vector<Cell>& cells) { again.push_back(cells[0].integer); });
    EXPECT_EQ(again, read.cards);

    // Edited but not deleted, the card is read once, from its copy.
    Read edited = readCards(dir, live.withLivePointer());
    ASSERT_EQ(static_cast<std::int64_t>(edited.cards.size()), edited.recorded);
    EXPECT_EQ(std::count(edited.cards.begin(), edited.cards.end(), kDeletedCard), 1);
    const auto at = std::find(edited.cards.begin(), edited.cards.end(), kDeletedCard) - edited.cards.begin();
    EXPECT_EQ(cardAt(edited, at), kDeletedCard);
    ASSERT_LT(static_cast<size_t>(at) + 1, edited.cards.size());
    EXPECT_EQ(cardAt(edited, at + 1), edited.cards[static_cast<size_t>(at) + 1]);
}

TEST(MovedRows, APointerThatLeadsNowhereSoundIsDamage)
{
    const LiveFile live;
    ASSERT_NE(live.table, 0u);
    const QByteArray edited = live.withLivePointer();
    const int pointerAt = rowStart(edited, live.pointer);
    const unsigned target = readLe(edited, pointerAt, 4);
    const std::vector<Slot> liveRows = slotsFlagged(edited, live.table, 0);
    ASSERT_FALSE(liveRows.empty());
    const std::vector<Slot> otherTable = slotsFlagged(edited, 2, 0);
    ASSERT_FALSE(otherTable.empty());
    const auto pointerTo = [](const Slot& slot) { return unsigned(slot.page) << 8 | unsigned(slot.row); };

    const auto pointingTo = [&](unsigned pointer) {
        QByteArray damaged = edited;
        writeLe(damaged, pointerAt, 4, pointer);
        return damaged;
    };
    // A live row turned into a second pointer to the same copy.
    QByteArray twice = edited;
    writeLe(twice, liveRows.front().at(), 2, readLe(twice, liveRows.front().at(), 2) | 0x4000);
    writeLe(twice, rowStart(twice, liveRows.front()), 4, target);

    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"page past the end", pointingTo((unsigned(edited.size() / kPage) << 8) | (target & 0xff))},
        {"the header page", pointingTo(target & 0xff)},
        {"the table's definition page", pointingTo(live.table << 8)},
        {"a row past the page's count", pointingTo((target & ~0xffu) | 0xff)},
        {"a pointer to itself", pointingTo(pointerTo(live.pointer))},
        {"another table's row", pointingTo(pointerTo(otherTable.front()))},
        {"a row the scan reads anyway", pointingTo(pointerTo(liveRows.front()))},
        {"two pointers to one copy", twice},
    };
    for (const auto& [what, damaged] : cases) {
        QTemporaryDir dir;
        try {
            readCards(dir, damaged);
            ADD_FAILURE() << what << ": read without a word";
        } catch (const SourceFailure& failure) {
            EXPECT_EQ(failure.reason, QStringLiteral("il file è danneggiato (una riga spostata non è leggibile)"))
                << what;
        }
    }
}
