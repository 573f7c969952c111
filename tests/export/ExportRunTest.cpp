// SPDX-License-Identifier: GPL-3.0-or-later
// The export run over the basic front-office data: which cards are written,
// in which order, the file's exact shape, and every way a run can stop.
#include <gtest/gtest.h>

#include <QFile>

#include "db/Run.h"
#include "export/ExportRun.h"
#include "RunDoubles.h"
#include "TestSupport.h"

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
    RunSummary run(const QString& from, const QString& to) { return runs.record(CreaFileTassa(from, to, rooms)); }

    ScratchDir scratch;
    QString exportPath;
    FixedRooms rooms;
    RunLog runs;
};

// The bytes of each range's file are compared with the reference answers by
// the command's tests; these check what the run tells the window.
TEST_F(ExportRunTest, WideRangeCompletesQuietly)
{
    const RunSummary summary = run(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024"));
    ASSERT_EQ(summary.outcome, RunSummary::Outcome::Completed);
    EXPECT_EQ(summary.recordsWritten, 56);
    EXPECT_TRUE(runs.messages.isEmpty());
    EXPECT_EQ(MessaggioErrore, QString());
    EXPECT_EQ(readBytes(exportPath).size(), kHeader.size() + 56 * (2 + 776));  // CR LF before each record only
    EXPECT_FALSE(QFile::exists(scratch.filePath(QStringLiteral("Passa.txt"))));
    EXPECT_TRUE(scratch.databasesUntouched());
}

TEST_F(ExportRunTest, SingleDaysCompleteEmptyOrStopOnTheirOneCard)
{
    using Outcome = RunSummary::Outcome;
    // In this order: a run after a stopped one must not keep its "Fine".
    const struct {
        const char* date;
        Outcome outcome;
        const char* message;  // the one message shown, if any
        QByteArray file;      // empty: not checked
    } rows[] = {
        {"15/08/2024", Outcome::Completed, nullptr, kHeader},  // no cards at all
        // Cards never selected: a star in Lingua (T08), hotel 2 (T04), a Null Lingua (K02).
        {"11/04/2024", Outcome::Completed, nullptr, kHeader},
        {"15/04/2024", Outcome::Completed, nullptr, kHeader},
        {"03/05/2024", Outcome::Completed, nullptr, kHeader},
        {"26/03/2024", Outcome::Completed, nullptr, kHeader},  // C15 arrives on its departure day: not written
        // X40 departs the day it arrived and is invalid: it still stops the run.
        {"10/07/2024", Outcome::StoppedOnCard, "Codice stato di residenza errato (XX) BELLI PROVA\r\n", {}},
        {"15/08/2024", Outcome::Completed, nullptr, kHeader},
        // K05 (Null Sesso) cannot be laid out: it stops the run like an invalid card.
        {"06/05/2024", Outcome::StoppedOnCard, "Tracciato record errato (campo 38: ) PARISI ETTORE\r\n",
         kHeader + "\r\n"},
        {"15/08/2024", Outcome::Completed, nullptr, kHeader},
    };
    for (const auto& r : rows) {
        runs.messages.clear();
        const QString date = QString::fromLatin1(r.date);
        EXPECT_EQ(run(date, date).outcome, r.outcome) << r.date;
        EXPECT_EQ(MessaggioErrore, r.message ? QStringLiteral("Fine") : QString()) << r.date;
        EXPECT_EQ(runs.messages, r.message ? QStringList{QString::fromUtf8(r.message)} : QStringList{}) << r.date;
        if (!r.file.isEmpty()) {
            EXPECT_EQ(readBytes(exportPath), r.file) << r.date;
        }
    }
}

TEST_F(ExportRunTest, InvalidHistoryCardStopsAfterTheCurrentCards)
{
    const RunSummary summary = run(QStringLiteral("01/08/2024"), QStringLiteral("01/08/2024"));
    EXPECT_EQ(summary.outcome, RunSummary::Outcome::StoppedOnCard);
    EXPECT_EQ(MessaggioErrore, QStringLiteral("Fine"));
    EXPECT_EQ(runs.messages, QStringList{QStringLiteral("Codice nazionalità errato (QQ) CALVI OTTO\r\n")});

    EXPECT_EQ(readBytes(exportPath).size(), kHeader.size() + 2 * (2 + 776) + 2);  // MA1 and MA2, each line ended
    EXPECT_FALSE(QFile::exists(scratch.filePath(QStringLiteral("Passa.txt"))));
}

TEST_F(ExportRunTest, ApostrophesInTypedRoomsAreQuoted)
{
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
    EXPECT_EQ(runs.settingsWarnings, 1);
    EXPECT_TRUE(runs.messages.isEmpty());
    EXPECT_EQ(MessaggioErrore, QStringLiteral("Fine"));
    EXPECT_FALSE(QFile::exists(exportPath));
}

TEST_F(ExportRunTest, DatabaseFailuresAreReportedNeverCompleted)
{
    scratch.replaceDatabase(QStringLiteral("broken/missing-table/Comuni.mdb"));
    EXPECT_EQ(run(QStringLiteral("04/03/2024"), QStringLiteral("04/03/2024")).outcome, RunSummary::Outcome::Failed);
    EXPECT_EQ(MessaggioErrore, QStringLiteral("Fine"));
    ASSERT_EQ(runs.messages.size(), 1);
    EXPECT_TRUE(runs.messages.at(0).contains(QStringLiteral("Comuni.mdb")));
    EXPECT_TRUE(runs.messages.at(0).contains(QStringLiteral("CodiciVari")));

    QFile::remove(scratch.filePath(QStringLiteral("NumeriCamere.mdb")));
    EXPECT_EQ(run(QStringLiteral("15/08/2024"), QStringLiteral("15/08/2024")).outcome, RunSummary::Outcome::Failed);
    EXPECT_TRUE(runs.messages.back().contains(QStringLiteral("NumeriCamere.mdb")));
}

TEST_F(ExportRunTest, UnwritableExportPathIsReported)
{
    scratch.writeSettings(scratch.filePath(QStringLiteral("no-such-dir/out.txt")));
    EXPECT_EQ(run(QStringLiteral("04/03/2024"), QStringLiteral("04/03/2024")).outcome, RunSummary::Outcome::Failed);
    ASSERT_EQ(runs.messages.size(), 1);
    EXPECT_TRUE(runs.messages.at(0).contains(QStringLiteral("no-such-dir/out.txt")));
    EXPECT_EQ(MessaggioErrore, QStringLiteral("Fine"));

    scratch.writeSettings(QStringLiteral("/dev/full"));
    EXPECT_EQ(run(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024")).outcome, RunSummary::Outcome::Failed);
    EXPECT_EQ(runs.messages.size(), 2);
}

// The front office saves the current guests while the run reads the history,
// as a check-out does: the run reads every file again before it writes a
// card, and writes what the settled files hold; files that never settle stop
// it with a plain message naming the file. A save once the files are read
// does not reach the run.
TEST_F(ExportRunTest, FilesSavedWhileTheyAreReadAreReadAgain)
{
    const QString from = QStringLiteral("01/01/2000");
    const QString to = QStringLiteral("30/04/2024");
    ASSERT_EQ(run(from, to).outcome, RunSummary::Outcome::Completed);
    const QByteArray quiet = readBytes(exportPath);
    const QString current = scratch.filePath(exporter::kSchedeCorrenti);
    int historyReads = 0;
    int saves = 1;
    db::testing::setAfterFileRead([&](const QString& fileName) {
        if (fileName != exporter::kSchedeStorico)
            return;
        ++historyReads;
        if (saves-- > 0)
            writeBytes(current, readBytes(current));
    });

    const RunSummary settled = run(from, to);
    EXPECT_EQ(settled.outcome, RunSummary::Outcome::Completed);
    EXPECT_EQ(settled.recordsWritten, 56);
    EXPECT_EQ(historyReads, 2);
    EXPECT_EQ(readBytes(exportPath), quiet);

    // Saved after the view is taken, into a file the run could not read:
    // the run works on the copy it read and does not start again.
    historyReads = saves = 0;
    db::testing::setAfterViewTaken(
        [&] { scratch.replaceDatabase(QStringLiteral("broken/missing-column/Scheda_Cliente.mdb")); });
    const RunSummary afterView = run(from, to);
    db::testing::setAfterViewTaken({});
    EXPECT_EQ(afterView.outcome, RunSummary::Outcome::Completed);
    EXPECT_EQ(historyReads, 1);
    EXPECT_EQ(readBytes(exportPath), quiet);

    saves = 1000;
    const RunSummary unsettled = run(from, to);
    db::testing::setAfterFileRead({});
    EXPECT_EQ(unsettled.outcome, RunSummary::Outcome::Failed);
    EXPECT_EQ(unsettled.message, db::fileKeptChanging(exporter::kSchedeCorrenti));
    EXPECT_TRUE(unsettled.tryAgain);
    EXPECT_FALSE(settled.tryAgain);
    EXPECT_EQ(MessaggioErrore, exporter::kFine);
    EXPECT_TRUE(scratch.databasesUntouched());
}

}  // namespace
}  // namespace ostelvia::test
