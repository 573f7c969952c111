// Damaged database files under the export run and the code list: each run
// either reports a failure that names the file, or does exactly what it does
// on the sound file. Never a crash, and never a run that reports success
// with rows missing.
#include <gtest/gtest.h>

#include <QFile>

#include "RobustSupport.h"
#include "TestSupport.h"
#include "db/Database.h"
#include "export/CodeList.h"
#include "export/ExportRun.h"

namespace ostelvia::test {
namespace {

using exporter::RunSummary;

// Which operation reads which file.
bool exportReads(const QString& name)
{
    return name != QLatin1String("PSWebAll.mdb");
}

bool codeListReads(const QString& name)
{
    return name == QLatin1String("PSWebAll.mdb") || name == QLatin1String("Comuni.mdb");
}

// The wide range over a scratch directory holding `damaged` in place of `name`.
void checkExport(const QString& name, const Damaged& damaged, bool mustFail)
{
    SCOPED_TRACE((name + QStringLiteral(": ") + damaged.what).toStdString());
    ScratchDir scratch;
    scratch.replaceDatabaseBytes(name, damaged.bytes);
    const QString exportPath = scratch.filePath(QStringLiteral("ZaverUdevu.txt"));
    scratch.writeSettings(exportPath, QStringLiteral("true"));
    FixedRooms rooms;
    RecordingReporter reporter;
    exporter::MessaggioErrore.clear();

    const RunSummary summary = exporter::CreaFileTassa(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024"), rooms, reporter);

    if (summary.outcome == RunSummary::Outcome::Completed) {
        EXPECT_FALSE(mustFail) << "a damaged file read as sound";
        EXPECT_TRUE(reporter.messages.isEmpty());
        EXPECT_EQ(readBytes(exportPath), expectedBytes(QStringLiteral("wide-range.out")));
    } else {
        ASSERT_EQ(reporter.messages.size(), 1);
        EXPECT_EQ(exporter::MessaggioErrore, exporter::kFine);
        EXPECT_EQ(reporter.titles.at(0), exporter::kTitoloErrore);
        if (summary.outcome == RunSummary::Outcome::Failed) {
            EXPECT_TRUE(reporter.messages.at(0).contains(QLatin1Char('"') + name + QLatin1Char('"')))
                << reporter.messages.at(0).toStdString();
        } else {
            // A value damaged in place can fail a card's checks; a file that
            // cannot be read at all cannot stop on a card.
            EXPECT_EQ(summary.outcome, RunSummary::Outcome::StoppedOnCard);
        }
        if (mustFail) {
            EXPECT_EQ(summary.outcome, RunSummary::Outcome::Failed);
        }
    }
    EXPECT_TRUE(scratch.databasesUntouched());
}

void checkCodeList(const QString& name, const Damaged& damaged, bool mustFail)
{
    SCOPED_TRACE((name + QStringLiteral(": ") + damaged.what).toStdString());
    ScratchDir scratch;
    scratch.replaceDatabaseBytes(name, damaged.bytes);
    bool failed = false;
    try {
        exporter::ScriviListaPS();
    } catch (const db::DbError& error) {
        failed = true;
        EXPECT_TRUE(error.message().contains(QLatin1Char('"') + name + QLatin1Char('"'))) << error.message().toStdString();
        EXPECT_FALSE(QFile::exists(scratch.filePath(exporter::kFileListaPS)));
    }
    if (!failed) {
        EXPECT_FALSE(mustFail) << "a damaged file read as sound";
        EXPECT_EQ(readBytes(scratch.filePath(exporter::kFileListaPS)), expectedBytes(QStringLiteral("ListaPS.txt")));
    }
    EXPECT_TRUE(scratch.databasesUntouched());
}

class DamagedDatabase : public ::testing::TestWithParam<QString> {
protected:
    QByteArray sound() const { return readBytes(fixtureDir() + QLatin1Char('/') + GetParam()); }
};

TEST_P(DamagedDatabase, WholeFileDamageIsReportedByNameOrHarmless)
{
    const QString name = GetParam();
    const QByteArray file = sound();
    ASSERT_GT(file.size(), 8 * kJetPage);
    for (const Damaged& damaged : wholeFileDamage(file)) {
        checkExport(name, damaged, damaged.alwaysReported && exportReads(name));
        checkCodeList(name, damaged, damaged.alwaysReported && codeListReads(name));
    }
}

TEST_P(DamagedDatabase, DamagedPagesNeverLoseRowsSilently)
{
    const QString name = GetParam();
    const QByteArray file = sound();
    const std::vector<Damaged> cases = pageDamage(file);
    ASSERT_FALSE(pagesOfType(file, kDataPage).empty());
    ASSERT_FALSE(pagesOfType(file, kTableDefinitionPage).empty());
    for (const Damaged& damaged : cases) {
        checkExport(name, damaged, false);
        checkCodeList(name, damaged, false);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFile, DamagedDatabase, ::testing::ValuesIn(databaseNames()),
                         [](const auto& info) { return info.param.section(QLatin1Char('.'), 0, 0).toStdString(); });

// A table whose rows are partly unreadable must not pass for a shorter
// table: the row table of the first data page of the guest cards is wiped,
// and the export reports the file instead of writing the other pages' cards.
TEST(DamagedGuestCards, WipedRowTableStopsTheRun)
{
    const QByteArray file = readBytes(fixtureDir() + QStringLiteral("/Scheda_Cliente.mdb"));
    bool triedOne = false;
    for (int page : pagesOfType(file, kDataPage)) {
        // Pages of the catalog (owned by page 2) make the table look missing
        // instead, which the broken-file cases cover.
        if (file.at(page * kJetPage + 4) == 2 && file.at(page * kJetPage + 5) == 0)
            continue;
        QByteArray bytes = file;
        // No rows on the page.
        bytes[page * kJetPage + 12] = 0;
        bytes[page * kJetPage + 13] = 0;
        ScratchDir scratch;
        scratch.replaceDatabaseBytes(QStringLiteral("Scheda_Cliente.mdb"), bytes);
        try {
            db::Database database = db::Database::open(QStringLiteral("Scheda_Cliente.mdb"));
            db::Recordset cards = database.openRecordset(QStringLiteral("Scheda_Cliente"));
            cards.findFirst(QStringLiteral("NumeroHotel = 1"));
            if (!cards.noMatch())
                (void)cards.text(QStringLiteral("NomeCliente"));
            EXPECT_TRUE(scratch.databasesUntouched());
            continue;  // a page of another table
        } catch (const db::DbError& error) {
            triedOne = true;
            EXPECT_TRUE(error.message().contains(QStringLiteral("\"Scheda_Cliente.mdb\""))) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(QStringLiteral("danneggiato"))) << error.message().toStdString();
        }
        EXPECT_TRUE(scratch.databasesUntouched());
    }
    EXPECT_TRUE(triedOne);
}

// The ready-made broken files: each names the file and what is missing.
struct BrokenCase {
    const char* folder;
    const char* file;
    const char* missing;  // the table or field the message names
    bool export_;         // read by the export run (else by the code list)
};

void PrintTo(const BrokenCase& c, std::ostream* out)
{
    *out << c.folder << '/' << c.file;
}

class BrokenFile : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenFile, ReportedByNameWithWhatIsMissing)
{
    const BrokenCase c = GetParam();
    ScratchDir scratch;
    scratch.replaceDatabase(QStringLiteral("broken/%1/%2").arg(QLatin1String(c.folder), QLatin1String(c.file)));
    const QString file = QLatin1Char('"') + QLatin1String(c.file) + QLatin1Char('"');
    const QString missing = QLatin1Char('"') + QLatin1String(c.missing) + QLatin1Char('"');
    if (c.export_) {
        const QString exportPath = scratch.filePath(QStringLiteral("ZaverUdevu.txt"));
        scratch.writeSettings(exportPath, QStringLiteral("true"));
        FixedRooms rooms;
        RecordingReporter reporter;
        const RunSummary summary = exporter::CreaFileTassa(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024"), rooms, reporter);
        EXPECT_EQ(summary.outcome, RunSummary::Outcome::Failed);
        ASSERT_EQ(reporter.messages.size(), 1);
        EXPECT_TRUE(reporter.messages.at(0).contains(file)) << reporter.messages.at(0).toStdString();
        EXPECT_TRUE(reporter.messages.at(0).contains(missing)) << reporter.messages.at(0).toStdString();
        EXPECT_EQ(exporter::MessaggioErrore, exporter::kFine);
    } else {
        try {
            exporter::ScriviListaPS();
            ADD_FAILURE() << "code list written over a broken file";
        } catch (const db::DbError& error) {
            EXPECT_TRUE(error.message().contains(file)) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(missing)) << error.message().toStdString();
        }
        EXPECT_FALSE(QFile::exists(scratch.filePath(exporter::kFileListaPS)));
    }
    EXPECT_TRUE(scratch.databasesUntouched());
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, BrokenFile,
    ::testing::Values(BrokenCase{"missing-table", "Comuni.mdb", "CodiciVari", true},
                      BrokenCase{"missing-table", "Comuni.mdb", "CodiciVari", false},
                      BrokenCase{"missing-column", "Scheda_Cliente.mdb", "NomeCliente", true},
                      BrokenCase{"missing-history-table", "SchedaStoricoClienti.mdb", "Scheda_Cliente", true},
                      BrokenCase{"missing-reference-table", "PSWebAll.mdb", "Comuni", false}),
    [](const auto& info) {
        return QString::fromLatin1(info.param.folder).remove(QLatin1Char('-')).toStdString()
            + (info.param.export_ ? "Export" : "CodeList");
    });

}  // namespace
}  // namespace ostelvia::test
