// SPDX-License-Identifier: GPL-3.0-or-later
// Rows a front office moved while editing: a card that grew lives on as a
// copy reached through a pointer row. The file is the current guests after
// card 498639 was edited to grow (its pointer row: page 26, row 0; its copy:
// page 226, row 6) and then deleted (the pointer row flagged passed over).
#include "TestSupport.h"

#include "db/TableSource.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <utility>

using namespace ostelvia::db::detail;

namespace {

constexpr int kPointerSlot = 26 * 4096 + 14;  // page 26's offset of row 0
constexpr std::int64_t kEditedCard = 498639;
const QString kTable = QStringLiteral("Scheda_Cliente");

void put(QByteArray& bytes, int at, int length, unsigned value)
{
    for (int i = 0; i < length; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i));
}

QByteArray liveFile()
{
    return ostelvia::test::readBytes(ostelvia::test::fixtureDir(QStringLiteral("live/Scheda_Cliente.mdb")));
}

// The card edited but not deleted: its pointer row live, one more row in the
// count its table's definition (page 24) records.
QByteArray editedFile()
{
    QByteArray bytes = liveFile();
    put(bytes, kPointerSlot, 2, 0x4000 | 0x0f07);
    put(bytes, 24 * 4096 + 16, 4, 3028);
    return bytes;
}

struct Cards {
    QTemporaryDir dir;
    std::unique_ptr<TableSource> source;
    std::vector<std::int64_t> numbers;  // NumeroComponente, column 3, in row order

    explicit Cards(const QByteArray& bytes)
    {
        const QString path = dir.filePath(QStringLiteral("Scheda_Cliente.mdb"));
        ostelvia::test::writeBytes(path, bytes);
        source = openJetFile(path);
        source->scan(kTable, {3}, [&](const std::vector<Cell>& cells) { numbers.push_back(cells[0].integer); });
    }
    std::int64_t at(std::int64_t row) const
    {
        std::int64_t number = -1;
        source->readRow(kTable, row, {3}, [&](const std::vector<Cell>& cells) { number = cells[0].integer; });
        return number;
    }
};

}  // namespace

TEST(MovedRows, EveryLiveCardIsReadOnceThroughItsPointerAndADeletedOneNever)
{
    for (const bool deleted : {true, false}) {
        SCOPED_TRACE(deleted ? "deleted" : "edited");
        const Cards cards(deleted ? liveFile() : editedFile());
        ASSERT_EQ(cards.source->columns(kTable).at(3).name, QStringLiteral("NumeroComponente"));
        EXPECT_EQ(static_cast<std::int64_t>(cards.numbers.size()), cards.source->expectedRows(kTable));
        EXPECT_EQ(std::set<std::int64_t>(cards.numbers.begin(), cards.numbers.end()).size(), cards.numbers.size());
        const auto edited = std::find(cards.numbers.begin(), cards.numbers.end(), kEditedCard);
        ASSERT_EQ(edited == cards.numbers.end(), deleted);
        // A row number reaches the row the scan handed over, the moved one too.
        const std::int64_t row = deleted ? 0 : edited - cards.numbers.begin();
        EXPECT_EQ(cards.at(row), cards.numbers[static_cast<size_t>(row)]);
        EXPECT_EQ(cards.at(row + 1), cards.numbers[static_cast<size_t>(row) + 1]);
    }
}

TEST(MovedRows, APointerThatLeadsNowhereSoundIsDamage)
{
    // Pointers are the copy's row, then its page in three bytes.
    const auto pointingTo = [](unsigned page, unsigned row) {
        QByteArray bytes = editedFile();
        put(bytes, 26 * 4096 + 0x0f07, 4, page << 8 | row);
        return bytes;
    };
    QByteArray twice = editedFile();  // row 1 of page 26 made a second pointer to the copy
    put(twice, kPointerSlot + 2, 2, 0x4000 | 0x0e18);
    put(twice, 26 * 4096 + 0x0e18, 4, 226 << 8 | 6);
    const std::pair<const char*, QByteArray> cases[] = {
        {"page past the end", pointingTo(227, 6)},          {"the header page", pointingTo(0, 6)},
        {"the table's definition page", pointingTo(24, 0)}, {"a row past the page's count", pointingTo(226, 7)},
        {"a pointer to itself", pointingTo(26, 0)},         {"another table's row", pointingTo(14, 0)},
        {"a row the scan reads anyway", pointingTo(26, 1)}, {"two pointers to one copy", twice},
    };
    for (const auto& [what, bytes] : cases) {
        try {
            const Cards cards(bytes);
            ADD_FAILURE() << what << ": " << cards.numbers.size() << " rows read without a word";
        } catch (const SourceFailure& failure) {
            EXPECT_EQ(failure.reason, QStringLiteral("il file è danneggiato (una riga spostata non è leggibile)"))
                << what;
        }
    }
}
