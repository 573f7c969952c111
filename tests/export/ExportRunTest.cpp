// The export run over the basic front-office data: which cards are written,
// in which order, the file's exact shape, and every way a run can stop.
#include <gtest/gtest.h>

#include <QFile>

#include "FixtureSource.h"
#include "RunDoubles.h"
#include "TestSupport.h"
#include "export/ExportRun.h"

namespace ostelvia::test {
namespace {

using exporter::CreaFileTassa;
using exporter::MessaggioErrore;
using exporter::RunSummary;

const QByteArray kHeader = "TBPRES01      ";

class ExportRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        exportPath = scratch.filePath(QStringLiteral("ZaverUdevu.txt"));
        scratch.writeSettings(exportPath, QStringLiteral("true"));
        MessaggioErrore.clear();
    }
    RunSummary run(const QString& from, const QString& to)
    {
        return CreaFileTassa(from, to, rooms, reporter);
    }
    QList<QByteArray> exportedLines() const { return readBytes(exportPath).split('\n'); }

    ScratchDir scratch;
    QString exportPath;
    FixedRooms rooms;
    RecordingReporter reporter;
};

// Field 1 (NumeroComponente, 7 digits) and field 8 (card number) of a card,
// worked out from its source row.
QByteArray identityOf(const SourceRow& card)
{
    const qint64 progressivo = card.at(QStringLiteral("NumeroProgressivo")).toLongLong();
    const qint64 year = card.at(QStringLiteral("DataArrivo")).mid(2, 2).toLongLong();
    return QByteArray::number(card.at(QStringLiteral("NumeroComponente")).toLongLong()).rightJustified(7, '0')
        + "|" + QByteArray::number(progressivo + 1000000 * year).rightJustified(10, '0');
}

QByteArray identityOfLine(const QByteArray& line)
{
    return line.mid(0, 7) + "|" + line.mid(44, 10);
}

TEST_F(ExportRunTest, WideRangeWritesEveryValidCardInPassOrder)
{
    const QStringList current = QStringLiteral(
        "C25 C01 C39 C04 C02 C03 C08 C09 C10 C11 C12 C13 C14 C16 C17 C05 C06 C07 C18 C19 C20 C21 C22 C23 "
        "C26 C27 C28 C30 C29 C31 C32 C33 C34 C35 C36 C37 C38").split(QLatin1Char(' '));
    const QStringList history = QStringLiteral("H03 H01 C16 H04 H06 H05 H07 H08 H09 H10 H20 H19 H18 H17 H13 H11 H16 H15 H02")
                                    .split(QLatin1Char(' '));
    QList<QByteArray> expected;
    for (const QString& label : current)
        expected.append(identityOf(cardByLabel(QStringLiteral("Scheda_Cliente"), label)));
    for (const QString& label : history)
        expected.append(identityOf(cardByLabel(QStringLiteral("SchedaStoricoClienti"), label)));

    const RunSummary summary = run(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024"));
    ASSERT_EQ(summary.outcome, RunSummary::Outcome::Completed);
    EXPECT_EQ(summary.recordsWritten, 56);
    EXPECT_TRUE(reporter.messages.isEmpty());
    EXPECT_EQ(MessaggioErrore, QString());

    const QByteArray bytes = readBytes(exportPath);
    EXPECT_TRUE(bytes.startsWith(kHeader + "\r\n"));
    EXPECT_FALSE(bytes.endsWith("\n"));
    QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 57);
    lines.removeFirst();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines.at(i);
        if (i + 1 < lines.size()) {
            ASSERT_TRUE(line.endsWith('\r')) << "line " << i;
            line.chop(1);
        }
        EXPECT_EQ(line.size(), 776) << "line " << i;
        EXPECT_EQ(identityOfLine(line), expected.at(i)) << "line " << i << " should be " << (i < current.size() ? current.at(i) : history.at(i - current.size())).toStdString();
    }
    EXPECT_FALSE(QFile::exists(scratch.filePath(QStringLiteral("Passa.txt"))));
    EXPECT_TRUE(scratch.databasesUntouched());
    EXPECT_EQ(rooms.reads, 2);  // the room range is read afresh for each pass
}

TEST_F(ExportRunTest, RangeWithoutCardsLeavesTheHeaderAloneWithoutLineBreak)
{
    EXPECT_EQ(run(QStringLiteral("15/08/2024"), QStringLiteral("15/08/2024")).outcome, RunSummary::Outcome::Completed);
    EXPECT_EQ(readBytes(exportPath), kHeader);
    // Cards never selected: a star in Lingua (T08), hotel 2 (T04), a Null Lingua (K02).
    for (const QString& date : {QStringLiteral("11/04/2024"), QStringLiteral("15/04/2024"), QStringLiteral("03/05/2024")}) {
        EXPECT_EQ(run(date, date).outcome, RunSummary::Outcome::Completed) << date.toStdString();
        EXPECT_EQ(readBytes(exportPath), kHeader) << date.toStdString();
    }
    EXPECT_TRUE(reporter.messages.isEmpty());
}

TEST_F(ExportRunTest, ArrivalOnDepartureDayIsValidatedButNotWritten)
{
    EXPECT_EQ(run(QStringLiteral("26/03/2024"), QStringLiteral("26/03/2024")).outcome, RunSummary::Outcome::Completed);
    EXPECT_EQ(readBytes(exportPath), kHeader);  // C15

    // X40 departs the day it arrived and is invalid: it still stops the run.
    EXPECT_EQ(run(QStringLiteral("10/07/2024"), QStringLiteral("10/07/2024")).outcome,
              RunSummary::Outcome::StoppedOnCard);
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages.at(0), QStringLiteral("Codice stato di residenza errato (XX) BELLI PROVA\r\n"));
}

TEST_F(ExportRunTest, SameCardInBothDatabasesIsWrittenTwice)
{
    run(QStringLiteral("28/03/2024"), QStringLiteral("28/03/2024"));
    const QList<QByteArray> lines = exportedLines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines.at(1), lines.at(2) + "\r");
}

TEST_F(ExportRunTest, InvalidHistoryCardStopsAfterTheCurrentCards)
{
    const RunSummary summary = run(QStringLiteral("01/08/2024"), QStringLiteral("01/08/2024"));
    EXPECT_EQ(summary.outcome, RunSummary::Outcome::StoppedOnCard);
    EXPECT_EQ(MessaggioErrore, QStringLiteral("Fine"));
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages.at(0), QStringLiteral("Codice nazionalità errato (QQ) CALVI OTTO\r\n"));
    EXPECT_EQ(reporter.styles.at(0), 48);
    EXPECT_EQ(reporter.titles.at(0), QStringLiteral("Errore per Tassa di Soggiorno"));

    const QByteArray bytes = readBytes(exportPath);
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 4);  // header, MA1, MA2, then nothing after the last CR LF
    EXPECT_EQ(lines.at(0), kHeader + "\r");
    EXPECT_EQ(identityOfLine(lines.at(1)), identityOf(cardByLabel(QStringLiteral("Scheda_Cliente"), QStringLiteral("MA1"))));
    EXPECT_EQ(identityOfLine(lines.at(2)), identityOf(cardByLabel(QStringLiteral("Scheda_Cliente"), QStringLiteral("MA2"))));
    EXPECT_TRUE(lines.at(3).isEmpty());
    EXPECT_FALSE(QFile::exists(scratch.filePath(QStringLiteral("Passa.txt"))));
}

TEST_F(ExportRunTest, FailedRunFollowedByEmptyRunDoesNotKeepFine)
{
    run(QStringLiteral("02/08/2024"), QStringLiteral("02/08/2024"));
    EXPECT_EQ(MessaggioErrore, QStringLiteral("Fine"));
    EXPECT_EQ(run(QStringLiteral("15/08/2024"), QStringLiteral("15/08/2024")).outcome, RunSummary::Outcome::Completed);
    EXPECT_EQ(MessaggioErrore, QString());
    EXPECT_EQ(readBytes(exportPath), kHeader);
}

TEST_F(ExportRunTest, RecordThatDoesNotFitStopsTheRunLikeAnInvalidCard)
{
    // K05 (Null Sesso) is the only card of its date.
    EXPECT_EQ(run(QStringLiteral("06/05/2024"), QStringLiteral("06/05/2024")).outcome,
              RunSummary::Outcome::StoppedOnCard);
    EXPECT_EQ(MessaggioErrore, QStringLiteral("Fine"));
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages.at(0), QStringLiteral("Tracciato record errato (campo 38: ) PARISI ETTORE\r\n"));
    EXPECT_EQ(reporter.styles.at(0), 48);
    EXPECT_EQ(readBytes(exportPath), kHeader + "\r\n");
}

TEST_F(ExportRunTest, ApostrophesInPlacesAndTypedRoomsAreQuoted)
{
    EXPECT_EQ(run(QStringLiteral("20/03/2024"), QStringLiteral("20/03/2024")).outcome, RunSummary::Outcome::Completed);
    const QList<QByteArray> lines = exportedLines();
    ASSERT_EQ(lines.size(), 2);  // C12
    EXPECT_EQ(lines.at(1).mid(716, 9), "416071033");  // born in MONTE SANT'ANGELO
    EXPECT_EQ(lines.at(1).mid(743, 9), "413066049");  // resident of L'AQUILA

    rooms.first = QStringLiteral("1'A");
    rooms.last = QStringLiteral("1'Z");
    EXPECT_EQ(run(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024")).outcome, RunSummary::Outcome::Completed);
    EXPECT_EQ(readBytes(exportPath), kHeader);
}

TEST_F(ExportRunTest, MissingSettingsFileWarnsAndTouchesNothing)
{
    QFile::remove(scratch.filePath(QStringLiteral("TaxSetup.txt")));
    MessaggioErrore = QStringLiteral("Fine");
    EXPECT_EQ(run(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024")).outcome,
              RunSummary::Outcome::SettingsMissing);
    EXPECT_EQ(reporter.settingsWarnings, 1);
    EXPECT_TRUE(reporter.messages.isEmpty());
    EXPECT_EQ(MessaggioErrore, QStringLiteral("Fine"));
    EXPECT_FALSE(QFile::exists(exportPath));
}

TEST_F(ExportRunTest, DatabaseFailuresAreReportedNeverCompleted)
{
    scratch.replaceDatabase(QStringLiteral("broken/missing-table/Comuni.mdb"));
    EXPECT_EQ(run(QStringLiteral("04/03/2024"), QStringLiteral("04/03/2024")).outcome, RunSummary::Outcome::Failed);
    EXPECT_EQ(MessaggioErrore, QStringLiteral("Fine"));
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_TRUE(reporter.messages.at(0).contains(QStringLiteral("Comuni.mdb")));
    EXPECT_TRUE(reporter.messages.at(0).contains(QStringLiteral("CodiciVari")));
    EXPECT_EQ(reporter.titles.at(0), QStringLiteral("Errore per Tassa di Soggiorno"));

    QFile::remove(scratch.filePath(QStringLiteral("NumeriCamere.mdb")));
    EXPECT_EQ(run(QStringLiteral("15/08/2024"), QStringLiteral("15/08/2024")).outcome, RunSummary::Outcome::Failed);
    EXPECT_TRUE(reporter.messages.back().contains(QStringLiteral("NumeriCamere.mdb")));
}

TEST_F(ExportRunTest, UnwritableExportPathIsReported)
{
    scratch.writeSettings(scratch.filePath(QStringLiteral("no-such-dir/out.txt")));
    EXPECT_EQ(run(QStringLiteral("04/03/2024"), QStringLiteral("04/03/2024")).outcome, RunSummary::Outcome::Failed);
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_TRUE(reporter.messages.at(0).contains(QStringLiteral("no-such-dir/out.txt")));
    EXPECT_EQ(MessaggioErrore, QStringLiteral("Fine"));

    scratch.writeSettings(QStringLiteral("/dev/full"));
    EXPECT_EQ(run(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024")).outcome, RunSummary::Outcome::Failed);
    EXPECT_EQ(reporter.messages.size(), 2);
}

}  // namespace
}  // namespace ostelvia::test
