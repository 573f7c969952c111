// The row check that stands between a damaged data page and libmdb's row
// cracker, on rows laid out by hand in a Jet 4 page, and the page-by-page
// read libmdb falls back to when a table's usage map is damaged.
#include <gtest/gtest.h>

#include <array>

#include "RobustSupport.h"
#include "TestSupport.h"
#include "db/Database.h"
#include "db/FileCheck.h"
#include "export/ExportRun.h"

namespace ostelvia::test {
namespace {

using db::detail::rowFitsPage;

constexpr std::size_t kPage = 4096;

// A Jet 4 row of `columns` columns, `variable` of them of variable length,
// at offset 3000: column count, 8 bytes of fixed data, the variable
// columns' offsets, their count, the null mask.
std::array<unsigned char, kPage> pageWithRow(unsigned columns, unsigned variable, std::size_t* size)
{
    std::array<unsigned char, kPage> page{};
    unsigned char* row = page.data() + 3000;
    row[0] = static_cast<unsigned char>(columns);
    row[1] = static_cast<unsigned char>(columns >> 8);
    const std::size_t mask = (columns + 7) / 8;
    *size = 2 + 8 + 2 * (variable + 1) + 2 + mask;
    row[*size - mask - 2] = static_cast<unsigned char>(variable);
    row[*size - mask - 1] = static_cast<unsigned char>(variable >> 8);
    return page;
}

TEST(RowCheck, SoundRowsPass)
{
    std::size_t size = 0;
    auto page = pageWithRow(10, 3, &size);
    EXPECT_EQ(size, 2u + 8 + 8 + 2 + 2);
    EXPECT_TRUE(rowFitsPage(page.data(), kPage, false, 3000, size, true));
    EXPECT_TRUE(rowFitsPage(page.data(), kPage, false, 3000, size, false));
    // A row that ends exactly at the end of the page.
    EXPECT_TRUE(rowFitsPage(page.data(), kPage, false, 3000, kPage - 3000, false));
}

TEST(RowCheck, RowOutsideThePageFails)
{
    std::size_t size = 0;
    auto page = pageWithRow(10, 3, &size);
    EXPECT_FALSE(rowFitsPage(page.data(), kPage, false, -1, size, true));
    EXPECT_FALSE(rowFitsPage(page.data(), kPage, false, 4096, 2, true));
    EXPECT_FALSE(rowFitsPage(page.data(), kPage, false, 3000, kPage - 3000 + 1, true));
    // A size that came from a negative difference.
    EXPECT_FALSE(rowFitsPage(page.data(), kPage, false, 3000, static_cast<std::size_t>(-8), true));
}

TEST(RowCheck, RowTooSmallForItsOwnLayoutFails)
{
    std::size_t size = 0;
    auto page = pageWithRow(10, 3, &size);
    // Empty and one-byte rows: not even a column count.
    EXPECT_FALSE(rowFitsPage(page.data(), kPage, false, 3000, 0, false));
    EXPECT_FALSE(rowFitsPage(page.data(), kPage, false, 3000, 1, false));
    // A column count whose null mask is larger than the row.
    page[3000] = 0xFF;
    page[3001] = 0xFF;
    EXPECT_FALSE(rowFitsPage(page.data(), kPage, false, 3000, size, false));
}

TEST(RowCheck, VariableColumnCountMustFitTheRow)
{
    std::size_t size = 0;
    auto page = pageWithRow(10, 3, &size);
    const std::size_t countAt = 3000 + size - 2 - 2;
    // More variable columns than columns.
    page[countAt] = 11;
    EXPECT_FALSE(rowFitsPage(page.data(), kPage, false, 3000, size, true));
    // As many as there are columns: their offsets no longer fit the row.
    page[countAt] = 10;
    EXPECT_FALSE(rowFitsPage(page.data(), kPage, false, 3000, size, true));
    // A huge count, which would send the offsets far before the row.
    page[countAt] = 0xFF;
    page[countAt + 1] = 0xFF;
    EXPECT_FALSE(rowFitsPage(page.data(), kPage, false, 3000, size, true));
    // A table without variable columns never reads the count.
    EXPECT_TRUE(rowFitsPage(page.data(), kPage, false, 3000, size, false));
}

TEST(RowCheck, JetThreeCountsTakeOneByte)
{
    std::array<unsigned char, kPage> page{};
    unsigned char* row = page.data() + 100;
    // 9 columns, 4 fixed bytes, 2 variable columns (3 offsets), count, 2-byte mask.
    row[0] = 9;
    const std::size_t size = 1 + 4 + 3 + 1 + 2;
    row[size - 2 - 1] = 2;
    EXPECT_TRUE(rowFitsPage(page.data(), kPage, true, 100, size, true));
    row[size - 2 - 1] = 10;
    EXPECT_FALSE(rowFitsPage(page.data(), kPage, true, 100, size, true));
}

// The table's usage map (the first byte of the row the table definition
// points at, offset 55) made unreadable: libmdb then reads the file page by
// page. Every card must still come out, each with its own values.
TEST(PageByPageRead, DamagedUsageMapLosesNoCardAndMixesNone)
{
    for (const QString& name : {QStringLiteral("Scheda_Cliente.mdb"), QStringLiteral("SchedaStoricoClienti.mdb")}) {
        SCOPED_TRACE(name.toStdString());
        QByteArray bytes = readBytes(fixtureDir() + QLatin1Char('/') + name);
        const std::vector<int> pages = mainTableDataPages(bytes);
        ASSERT_FALSE(pages.empty());
        const auto* file = reinterpret_cast<const unsigned char*>(bytes.constData());
        const std::size_t definition = std::size_t(file[pages.at(0) * kJetPage + 4]) | std::size_t(file[pages.at(0) * kJetPage + 5]) << 8;
        const unsigned char* map = file + definition * kJetPage + 55;
        const std::size_t mapPage = std::size_t(map[1]) | std::size_t(map[2]) << 8 | std::size_t(map[3]) << 16;
        const unsigned char* rowTable = file + mapPage * kJetPage + 14 + 2 * map[0];
        const std::size_t mapRow = (std::size_t(rowTable[0]) | std::size_t(rowTable[1]) << 8) & 0x1fff;
        ASSERT_LE(file[mapPage * kJetPage + mapRow], 1) << "not a usage map";
        bytes[qsizetype(mapPage * kJetPage + mapRow)] = static_cast<char>(0xFF);

        ScratchDir scratch;
        scratch.replaceDatabaseBytes(name, bytes);
        const QString exportPath = scratch.filePath(QStringLiteral("ZaverUdevu.txt"));
        scratch.writeSettings(exportPath, QStringLiteral("true"));
        FixedRooms rooms;
        RecordingReporter reporter;
        const exporter::RunSummary summary =
            exporter::CreaFileTassa(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024"), rooms, reporter);
        EXPECT_EQ(summary.outcome, exporter::RunSummary::Outcome::Completed) << reporter.messages.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(readBytes(exportPath), expectedBytes(QStringLiteral("wide-range.out")));
        EXPECT_TRUE(scratch.databasesUntouched());
    }
}

}  // namespace
}  // namespace ostelvia::test

namespace ostelvia::test {
namespace {

// The guest file the fuzzer crashed the reader with (18 bytes changed: a
// usage map, a column name, row offsets): read as the fuzz target did, it is
// a failure naming the file, or rows read whole.
TEST(FuzzedFile, GuestFileThatCrashedTheReader)
{
    ScratchDir scratch;
    scratch.replaceDatabaseBytes(QStringLiteral("Scheda_Cliente.mdb"),
                                 readBytes(QStringLiteral(OSTELVIA_ROBUST_DATA "/fuzzed-Scheda_Cliente.mdb")));
    int rows = 0;
    try {
        db::Database guests = db::Database::open(QStringLiteral("Scheda_Cliente.mdb"));
        db::Recordset cards = guests.openRecordset(QStringLiteral("Scheda_Cliente"));
        const QString criteria = QStringLiteral("NumeroCamera >= '' and NumeroCamera <= 'ZZZZZZ'");
        for (cards.findFirst(criteria); !cards.noMatch(); cards.findNext(criteria), ++rows) {
            for (const char* field : {"Lingua", "Sesso", "CodIDS", "NomeCliente"})
                (void)cards.text(QString::fromLatin1(field));
        }
    } catch (const db::DbError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("\"Scheda_Cliente.mdb\""))) << error.message().toStdString();
    }
    EXPECT_LE(rows, 121);
    EXPECT_TRUE(scratch.databasesUntouched());
}

}  // namespace
}  // namespace ostelvia::test

namespace ostelvia::test {
namespace {

using db::detail::memoKindKnown;
using db::detail::memoPagesSound;

// A file of three 4096-byte pages; page 1 a data page whose row 0 spans
// 4000 to the page end and row 1 3900 to 4000.
QByteArray memoFile()
{
    QByteArray file(3 * 4096, '\0');
    char* page = file.data() + 4096;
    page[0] = 0x01;
    page[12] = 2;
    page[14] = static_cast<char>(4000 & 0xff);
    page[15] = static_cast<char>(4000 >> 8);
    page[16] = static_cast<char>(3900 & 0xff);
    page[17] = static_cast<char>(3900 >> 8);
    return file;
}

bool sound(const QByteArray& file, std::uint32_t header, std::uint32_t pointer)
{
    return memoPagesSound(reinterpret_cast<const unsigned char*>(file.constData()), static_cast<std::size_t>(file.size()),
                          4096, false, header, pointer);
}

TEST(MemoCheck, KindsTheReaderKnows)
{
    EXPECT_TRUE(memoKindKnown(0x80000010u));  // in the row
    EXPECT_TRUE(memoKindKnown(0x40000010u));  // on one page
    EXPECT_TRUE(memoKindKnown(0x00001000u));  // on a chain of pages
    EXPECT_FALSE(memoKindKnown(0x20000010u));
    EXPECT_FALSE(memoKindKnown(0x01000000u));
}

TEST(MemoCheck, RowOnAnotherPage)
{
    const QByteArray file = memoFile();
    EXPECT_TRUE(sound(file, 0x40000010u, 1u << 8 | 0));
    EXPECT_TRUE(sound(file, 0x40000010u, 1u << 8 | 1));
    EXPECT_FALSE(sound(file, 0x40000010u, 1u << 8 | 2));  // no such row
    EXPECT_FALSE(sound(file, 0x40000010u, 2u << 8 | 0));  // not a data page
    EXPECT_FALSE(sound(file, 0x40000010u, 3u << 8 | 0));  // past the end of the file
    EXPECT_FALSE(sound(file, 0x40000010u, 0u << 8 | 0));
}

TEST(MemoCheck, ChainMustEnd)
{
    QByteArray file = memoFile();
    // Row 1 goes on to row 0, which ends the chain.
    file[4096 + 3900] = 0;
    file[4096 + 3901] = 1;
    EXPECT_TRUE(sound(file, 0x00000100u, 1u << 8 | 1));
    // Row 0 back to row 1: a loop.
    file[4096 + 4000] = 1;
    file[4096 + 4001] = 1;
    EXPECT_FALSE(sound(file, 0x00000100u, 1u << 8 | 1));
    // A chain to a row that is not there.
    file[4096 + 4000] = 7;
    EXPECT_FALSE(sound(file, 0x00000100u, 1u << 8 | 1));
}

// The guest file whose memo made the reader hand back an unwritten buffer.
TEST(FuzzedFile, GuestFileWithAnUnreadableMemo)
{
    ScratchDir scratch;
    scratch.replaceDatabaseBytes(QStringLiteral("Scheda_Cliente.mdb"),
                                 readBytes(QStringLiteral(OSTELVIA_ROBUST_DATA "/fuzzed-memo-Scheda_Cliente.mdb")));
    int rows = 0;
    try {
        db::Database guests = db::Database::open(QStringLiteral("Scheda_Cliente.mdb"));
        db::Recordset cards = guests.openRecordset(QStringLiteral("Scheda_Cliente"));
        const QString criteria = QStringLiteral("NumeroCamera >= '' and NumeroCamera <= 'ZZZZZZ'");
        for (cards.findFirst(criteria); !cards.noMatch(); cards.findNext(criteria), ++rows)
            (void)cards.text(QStringLiteral("Note"));
    } catch (const db::DbError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("\"Scheda_Cliente.mdb\""))) << error.message().toStdString();
    }
    EXPECT_LE(rows, 121);
    EXPECT_TRUE(scratch.databasesUntouched());
}

}  // namespace
}  // namespace ostelvia::test
