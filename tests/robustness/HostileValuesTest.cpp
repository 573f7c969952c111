// Hostile values: quotes, brackets, wildcard characters, very long texts,
// control characters and characters outside Windows-1252, in guest cards and
// in the typed ranges. Each is exported or reported as any other value; none
// breaks a query or the width of a record.
#include <gtest/gtest.h>

#include "FixtureSource.h"
#include "RobustSupport.h"
#include "TestSupport.h"
#include "db/Database.h"
#include "export/Cp1252.h"
#include "export/ExportRun.h"
#include "export/PresenceRecord.h"

namespace ostelvia::test {
namespace {

using exporter::RunSummary;

class HostileCard : public ::testing::Test {
protected:
    void SetUp() override
    {
        exportPath = scratch.filePath(QStringLiteral("ZaverUdevu.txt"));
        scratch.writeSettings(exportPath, QStringLiteral("true"));
        card = cardByLabel(QStringLiteral("Scheda_Cliente"), QStringLiteral("C01"));
        // The history pass finds nothing.
        db::registerMemoryDatabase(QStringLiteral("SchedaStoricoClienti.mdb"), {guestTable({})});
    }
    void TearDown() override
    {
        db::clearMemoryDatabases();
        EXPECT_TRUE(scratch.databasesUntouched());
    }

    // C01's date, all rooms, with `card` as the only current card.
    RunSummary run()
    {
        db::registerMemoryDatabase(QStringLiteral("Scheda_Cliente.mdb"), {guestTable({card})});
        exporter::MessaggioErrore.clear();
        return exporter::CreaFileTassa(QStringLiteral("04/03/2024"), QStringLiteral("04/03/2024"), rooms, reporter);
    }

    // C01's reference record, as text.
    QString referenceRecord() const
    {
        return exporter::fromCp1252(expectedBytes(QStringLiteral("card-C01.out"))).mid(16);
    }
    QByteArray exported() const { return readBytes(exportPath); }

    ScratchDir scratch;
    QString exportPath;
    SourceRow card;
    FixedRooms rooms;
    RecordingReporter reporter;
};

TEST_F(HostileCard, MemoOfTenThousandHostileCharactersIsNotExported)
{
    QString note = QStringLiteral("C01: '\"[]%*?#\t\r\n\x01 \u0141\u674E\U0001F600 ");
    while (note.size() < 10000)
        note += QStringLiteral("O'Hara [x] 100% *?# ");
    card[QStringLiteral("Note")] = note;
    EXPECT_EQ(run().outcome, RunSummary::Outcome::Completed);
    EXPECT_EQ(exported(), expectedBytes(QStringLiteral("card-C01.out")));
    EXPECT_TRUE(reporter.messages.isEmpty());
}

TEST_F(HostileCard, QuotesBracketsAndWildcardsInTheNameAreWrittenAsTheyAre)
{
    card[QStringLiteral("NomeCliente")] = QStringLiteral("O'BRIEN \"[%*?#]\"");
    const RunSummary summary = run();
    ASSERT_EQ(summary.outcome, RunSummary::Outcome::Completed) << reporter.messages.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(summary.recordsWritten, 1);
    // Field 13 (30 characters from 60) the surname, field 14 the first name.
    QString expected = referenceRecord();
    expected.replace(60, 60, QStringLiteral("O'BRIEN").leftJustified(30) + QStringLiteral("\"[%*?#]\"").leftJustified(30));
    EXPECT_EQ(exported(), "TBPRES01      \r\n" + exporter::toCp1252(expected));
}

TEST_F(HostileCard, NameOfTenThousandCharactersIsCutToItsFields)
{
    card[QStringLiteral("NomeCliente")] = QStringLiteral("ROSSI ") + QString(10000, QLatin1Char('M'));
    ASSERT_EQ(run().outcome, RunSummary::Outcome::Completed) << reporter.messages.join(QLatin1Char('|')).toStdString();
    QString expected = referenceRecord();
    expected.replace(60, 60, QStringLiteral("ROSSI").leftJustified(30) + QString(30, QLatin1Char('M')));
    EXPECT_EQ(exported(), "TBPRES01      \r\n" + exporter::toCp1252(expected));
}

TEST_F(HostileCard, CharactersOutsideTheCodePageTakeOneByteEach)
{
    // A Polish letter, a CJK character and an emoji (two UTF-16 units).
    card[QStringLiteral("NomeCliente")] = QStringLiteral("\u0141UKASZ \u674E\U0001F600");
    ASSERT_EQ(run().outcome, RunSummary::Outcome::Completed) << reporter.messages.join(QLatin1Char('|')).toStdString();
    const QByteArray bytes = exported();
    ASSERT_EQ(bytes.size(), 16 + exporter::kRecordLength);
    EXPECT_EQ(bytes.mid(16 + 60, 60), QByteArray("?UKASZ").leftJustified(30) + QByteArray("??").leftJustified(30));
    EXPECT_EQ(bytes.mid(16 + 120), exporter::toCp1252(referenceRecord().mid(120)));
}

TEST_F(HostileCard, ControlCharactersNeverSplitTheRecord)
{
    card[QStringLiteral("NomeCliente")] = QStringLiteral("ROSSI\r\nX MARIO");
    card[QStringLiteral("Indirizzo")] = QStringLiteral("VIA\nAPPIA\x1A\x7F NUOVA 12");
    ASSERT_EQ(run().outcome, RunSummary::Outcome::Completed) << reporter.messages.join(QLatin1Char('|')).toStdString();
    const QByteArray bytes = exported();
    ASSERT_EQ(bytes.size(), 16 + exporter::kRecordLength);
    EXPECT_EQ(bytes.count('\n'), 1);
    EXPECT_EQ(bytes.count('\r'), 1);
    // Each control character a blank: "ROSSI  X" is the surname part, "MARIO" the name.
    EXPECT_EQ(bytes.mid(16 + 60, 60), QByteArray("ROSSI  X").leftJustified(30) + QByteArray("MARIO").leftJustified(30));
}

TEST_F(HostileCard, QuoteInALookedUpNameIsAFindingNotABrokenQuery)
{
    card[QStringLiteral("Residenza")] = QStringLiteral("ROMA' OR '1'='1");
    EXPECT_EQ(run().outcome, RunSummary::Outcome::StoppedOnCard);
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages.at(0), QStringLiteral("Residenza italiana errata (ROMA' OR '1'='1) ROSSI MARIO\r\n"));
    EXPECT_EQ(exporter::MessaggioErrore, exporter::kFine);
    // The header only: nothing of the stopped card.
    EXPECT_EQ(exported(), QByteArray("TBPRES01      \r\n"));

    card[QStringLiteral("Residenza")] = QStringLiteral("[ROMA]%*?#");
    reporter.messages.clear();
    EXPECT_EQ(run().outcome, RunSummary::Outcome::StoppedOnCard);
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages.at(0), QStringLiteral("Residenza italiana errata ([ROMA]%*?#) ROSSI MARIO\r\n"));
}

TEST_F(HostileCard, AsteriskInTheLanguageKeepsTheCardOut)
{
    card[QStringLiteral("Lingua")] = QStringLiteral("I*'");
    EXPECT_EQ(run().outcome, RunSummary::Outcome::Completed);
    EXPECT_EQ(exported(), QByteArray("TBPRES01      "));
}

// Typed ranges with quotes and wildcards over the real files.
class HostileRange : public ::testing::Test {
protected:
    void SetUp() override
    {
        exportPath = scratch.filePath(QStringLiteral("ZaverUdevu.txt"));
        scratch.writeSettings(exportPath, QStringLiteral("true"));
        exporter::MessaggioErrore.clear();
    }
    void TearDown() override { EXPECT_TRUE(scratch.databasesUntouched()); }

    ScratchDir scratch;
    QString exportPath;
    FixedRooms rooms;
    RecordingReporter reporter;
};

TEST_F(HostileRange, RoomsWithQuotesAndWildcardsCompareAsText)
{
    // "2'%*" sorts before "201" (a quote before any digit) and "2?#[" after
    // "212" ("?" after any digit): exactly the rooms 201 to 212.
    rooms.first = QStringLiteral("2'%*");
    rooms.last = QStringLiteral("2?#[");
    const RunSummary summary = exporter::CreaFileTassa(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024"), rooms, reporter);
    EXPECT_EQ(summary.outcome, RunSummary::Outcome::Completed) << reporter.messages.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(readBytes(exportPath), expectedBytes(QStringLiteral("wide-range-rooms-200-to-299.out")));
}

TEST_F(HostileRange, QuotesInTheTypedDatesStayInsideTheirLiteral)
{
    // Stored as "2'000'0'", which sorts before every "2000..." date and after
    // "19991231": the same cards as from 01/01/2000.
    const RunSummary summary = exporter::CreaFileTassa(QStringLiteral("0'/0'/2'00"), QStringLiteral("30/04/2024"), rooms, reporter);
    EXPECT_EQ(summary.outcome, RunSummary::Outcome::Completed) << reporter.messages.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(readBytes(exportPath), expectedBytes(QStringLiteral("wide-range.out")));

    // A quote closing the literal early and a comment: no card, no error.
    const RunSummary none = exporter::CreaFileTassa(QStringLiteral("' or 1=1 -"), QStringLiteral("--'; drop x"), rooms, reporter);
    EXPECT_EQ(none.outcome, RunSummary::Outcome::Completed) << reporter.messages.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(none.recordsWritten, 0);
    EXPECT_EQ(readBytes(exportPath), QByteArray("TBPRES01      "));
}

}  // namespace
}  // namespace ostelvia::test
