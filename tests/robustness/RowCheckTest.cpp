// SPDX-License-Identifier: GPL-3.0-or-later
// The row and memo checks that stand between a damaged page and libmdb's row
// cracker, on bytes laid out by hand, the page-by-page read libmdb falls back
// to when a table's usage map is damaged, and the files the fuzzer found.
#include <array>
#include <utility>

#include "db/FileCheck.h"
#include "RunSetup.h"

namespace ostelvia::test {
namespace {

using db::detail::memoKindKnown;
using db::detail::memoPagesSound;
using db::detail::rowFitsPage;
using Bytes = std::vector<std::pair<int, unsigned char>>;

constexpr std::size_t kPage = 4096;

TEST(RowCheck, RowsThatFitTheirPageAndLayout)
{
    // Jet 4 row at 3000: 10 columns (count at 0), 8 fixed bytes, 3 variable
    // columns (4 offsets), their count at 18, a 2-byte null mask; 22 bytes.
    const Bytes row{{3000, 10}, {3018, 3}};
    // Jet 3 row at 100: 9 columns, 4 fixed bytes, 3 offsets, count at 108, 2-byte mask; 11 bytes.
    const Bytes jet3Row{{100, 9}, {108, 2}};
    struct Case {
        const char* what;
        Bytes bytes;
        int start;
        std::size_t size;
        bool jet3, variable, fits;
    };
    const Case cases[] = {
        {"sound row", row, 3000, 22, false, true, true},
        {"sound row, no variable columns", row, 3000, 22, false, false, true},
        {"ends exactly at the page end", row, 3000, kPage - 3000, false, false, true},
        {"starts before the page", row, -1, 22, false, true, false},
        {"starts at the page end", row, 4096, 2, false, true, false},
        {"one byte past the page end", row, 3000, kPage - 3000 + 1, false, true, false},
        {"size from a negative difference", row, 3000, static_cast<std::size_t>(-8), false, true, false},
        {"empty row", row, 3000, 0, false, false, false},
        {"one-byte row", row, 3000, 1, false, false, false},
        {"null mask larger than the row", {{3000, 0xFF}, {3001, 0xFF}, {3018, 3}}, 3000, 22, false, false, false},
        {"more variable columns than columns", {{3000, 10}, {3018, 11}}, 3000, 22, false, true, false},
        {"as many variable columns as columns", {{3000, 10}, {3018, 10}}, 3000, 22, false, true, false},
        {"huge variable count", {{3000, 10}, {3018, 0xFF}, {3019, 0xFF}}, 3000, 22, false, true, false},
        {"huge count never read without variable columns",
         {{3000, 10}, {3018, 0xFF}, {3019, 0xFF}},
         3000,
         22,
         false,
         false,
         true},
        {"Jet 3 counts of one byte", jet3Row, 100, 11, true, true, true},
        {"Jet 3 variable count past the columns", {{100, 9}, {108, 10}}, 100, 11, true, true, false},
    };
    for (const Case& c : cases) {
        std::array<unsigned char, kPage> page{};
        for (const auto& [at, value] : c.bytes)
            page[at] = value;
        EXPECT_EQ(rowFitsPage(page.data(), kPage, c.jet3, c.start, c.size, c.variable), c.fits) << c.what;
    }
}

TEST(MemoCheck, KindsAndPagesTheReaderCanFollow)
{
    EXPECT_TRUE(memoKindKnown(0x80000010u));  // in the row
    EXPECT_TRUE(memoKindKnown(0x40000010u));  // on one page
    EXPECT_TRUE(memoKindKnown(0x00001000u));  // on a chain of pages
    EXPECT_FALSE(memoKindKnown(0x20000010u));
    EXPECT_FALSE(memoKindKnown(0x01000000u));

    // Three pages; page 1 a data page whose row 0 spans 4000 to the page end
    // and row 1 3900 to 4000. A pointer is page << 8 | row.
    const Bytes rows{{4096, 0x01},           {4096 + 12, 2},           {4096 + 14, 4000 & 0xff},
                     {4096 + 15, 4000 >> 8}, {4096 + 16, 3900 & 0xff}, {4096 + 17, 3900 >> 8}};
    const Bytes row1ToRow0{{4096 + 3900, 0}, {4096 + 3901, 1}};
    struct Case {
        const char* what;
        Bytes extra;
        std::uint32_t header, pointer;
        bool sound;
    };
    const Case cases[] = {
        {"row 0 on page 1", {}, 0x40000010u, 1u << 8 | 0, true},
        {"row 1 on page 1", {}, 0x40000010u, 1u << 8 | 1, true},
        {"no such row", {}, 0x40000010u, 1u << 8 | 2, false},
        {"not a data page", {}, 0x40000010u, 2u << 8 | 0, false},
        {"past the end of the file", {}, 0x40000010u, 3u << 8 | 0, false},
        {"page 0", {}, 0x40000010u, 0u << 8 | 0, false},
        {"chain from row 1 to row 0, which ends it", row1ToRow0, 0x100u, 1u << 8 | 1, true},
        {"chain looping back to row 1",
         {{4096 + 3900, 0}, {4096 + 3901, 1}, {4096 + 4000, 1}, {4096 + 4001, 1}},
         0x100u,
         1u << 8 | 1,
         false},
        {"chain to a row that is not there",
         {{4096 + 3900, 0}, {4096 + 3901, 1}, {4096 + 4000, 7}, {4096 + 4001, 1}},
         0x100u,
         1u << 8 | 1,
         false},
    };
    for (const Case& c : cases) {
        QByteArray file(3 * 4096, '\0');
        for (const Bytes& bytes : {rows, c.extra}) {
            for (const auto& [at, value] : bytes)
                file[at] = static_cast<char>(value);
        }
        EXPECT_EQ(memoPagesSound(reinterpret_cast<const unsigned char*>(file.constData()),
                                 static_cast<std::size_t>(file.size()), 4096, false, c.header, c.pointer),
                  c.sound)
            << c.what;
    }
}

// The table's usage map (the first byte of the row the table definition
// points at, offset 55) made unreadable: libmdb then reads the file page by
// page. Every card must still come out, each with its own values.
TEST(PageByPageRead, DamagedUsageMapLosesNoCardAndMixesNone)
{
    for (const QString& name : {QStringLiteral("Scheda_Cliente.mdb"), QStringLiteral("SchedaStoricoClienti.mdb")}) {
        SCOPED_TRACE(name.toStdString());
        QByteArray bytes = fixtureBytes(name);
        const std::vector<int> pages = mainTableDataPages(bytes);
        ASSERT_FALSE(pages.empty());
        const auto* file = reinterpret_cast<const unsigned char*>(bytes.constData());
        const std::size_t definition =
            std::size_t(file[pages.at(0) * kJetPage + 4]) | std::size_t(file[pages.at(0) * kJetPage + 5]) << 8;
        const unsigned char* map = file + definition * kJetPage + 55;
        const std::size_t mapPage = std::size_t(map[1]) | std::size_t(map[2]) << 8 | std::size_t(map[3]) << 16;
        const unsigned char* rowTable = file + mapPage * kJetPage + 14 + 2 * map[0];
        const std::size_t mapRow = (std::size_t(rowTable[0]) | std::size_t(rowTable[1]) << 8) & 0x1fff;
        ASSERT_LE(file[mapPage * kJetPage + mapRow], 1) << "not a usage map";
        bytes.data()[mapPage * kJetPage + mapRow] = static_cast<char>(0xFF);

        ExportSetup setup;
        setup.scratch.replaceDatabaseBytes(name, bytes);
        EXPECT_EQ(setup.run().outcome, exporter::RunSummary::Outcome::Completed) << setup.messages();
        EXPECT_EQ(readBytes(setup.exportPath), expectedBytes(QStringLiteral("wide-range.out")));
        EXPECT_TRUE(setup.scratch.databasesUntouched());
    }
}

// A guest file from the fuzzer read as the fuzz target did: a failure naming
// the file, or rows read whole.
void readFuzzedGuests(const char* file, std::initializer_list<const char*> fields)
{
    SCOPED_TRACE(file);
    ScratchDir scratch;
    scratch.replaceDatabaseBytes(QStringLiteral("Scheda_Cliente.mdb"),
                                 readBytes(QStringLiteral(OSTELVIA_ROBUST_DATA "/") + QLatin1String(file)));
    int rows = 0;
    const auto error = dbErrorOf([&] {
        db::Database guests = db::Database::open(QStringLiteral("Scheda_Cliente.mdb"));
        db::Recordset cards = guests.openRecordset(QStringLiteral("Scheda_Cliente"));
        const QString criteria = QStringLiteral("NumeroCamera >= '' and NumeroCamera <= 'ZZZZZZ'");
        for (cards.findFirst(criteria); !cards.noMatch(); cards.findNext(criteria), ++rows) {
            for (const char* field : fields)
                (void)cards.text(QString::fromLatin1(field));
        }
    });
    if (error) {
        EXPECT_TRUE(error->contains(quoted(QStringLiteral("Scheda_Cliente.mdb")))) << error->toStdString();
    }
    EXPECT_LE(rows, 121);
    EXPECT_TRUE(scratch.databasesUntouched());
}

TEST(FuzzedFile, GuestFilesThatBrokeTheReader)
{
    // 18 bytes changed (a usage map, a column name, row offsets): crashed the reader.
    readFuzzedGuests("fuzzed-Scheda_Cliente.mdb", {"Lingua", "Sesso", "CodIDS", "NomeCliente"});
    // A memo the reader handed back as an unwritten buffer.
    readFuzzedGuests("fuzzed-memo-Scheda_Cliente.mdb", {"Note"});
}

}  // namespace
}  // namespace ostelvia::test
