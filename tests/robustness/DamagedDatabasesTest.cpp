// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged database files under the export run and the code list: each run
// either reports a failure that names the file, or does exactly what it does
// on the sound file. Never a crash, and never a run that reports success
// with rows missing.
#include <QFile>

#include "export/CodeList.h"
#include "RunSetup.h"

namespace ostelvia::test {
namespace {

using exporter::RunSummary;

// The wide range with `bytes` in place of `name`. `named` is what a failure
// message must name besides the file.
void checkExport(const QString& name, const Damaged& damaged, bool mustFail, const QString& named = {})
{
    SCOPED_TRACE((name + QStringLiteral(": ") + damaged.what).toStdString());
    ExportSetup setup;
    setup.scratch.replaceDatabaseBytes(name, damaged.bytes);
    const RunSummary summary = setup.run();
    if (summary.outcome == RunSummary::Outcome::Completed) {
        EXPECT_FALSE(mustFail) << "a damaged file read as sound";
        EXPECT_TRUE(setup.runs.messages.isEmpty());
        EXPECT_EQ(readBytes(setup.exportPath), expectedBytes(QStringLiteral("wide-range.out")));
    } else if (summary.outcome == RunSummary::Outcome::Failed || mustFail) {
        setup.expectFailureNaming(summary, quoted(name));
        EXPECT_TRUE(setup.runs.messages.value(0).contains(named)) << setup.messages();
    } else {
        // A value damaged in place can fail a card's checks; a file that
        // cannot be read at all cannot stop on a card.
        EXPECT_EQ(summary.outcome, RunSummary::Outcome::StoppedOnCard);
        EXPECT_EQ(setup.runs.messages.size(), 1);
        EXPECT_EQ(exporter::MessaggioErrore, exporter::kFine);
    }
    EXPECT_TRUE(setup.scratch.databasesUntouched());
}

void checkCodeList(const QString& name, const Damaged& damaged, bool mustFail, const QString& named = {})
{
    SCOPED_TRACE((name + QStringLiteral(": ") + damaged.what).toStdString());
    ScratchDir scratch;
    scratch.replaceDatabaseBytes(name, damaged.bytes);
    if (const auto error = dbErrorOf([] { exporter::ScriviListaPS(); })) {
        EXPECT_TRUE(error->contains(quoted(name))) << error->toStdString();
        EXPECT_TRUE(error->contains(named)) << error->toStdString();
        EXPECT_FALSE(QFile::exists(scratch.filePath(exporter::kFileListaPS)));
    } else {
        EXPECT_FALSE(mustFail) << "a damaged file read as sound";
        EXPECT_EQ(readBytes(scratch.filePath(exporter::kFileListaPS)), expectedBytes(QStringLiteral("ListaPS.txt")));
    }
    EXPECT_TRUE(scratch.databasesUntouched());
}

class DamagedDatabase : public ::testing::TestWithParam<QString> { };

// Whole-file damage must be reported whenever the operation reads the file;
// damaged pages may be harmless, but never lose rows silently.
TEST_P(DamagedDatabase, ReportedByNameOrHarmless)
{
    const QString name = GetParam();
    const QByteArray file = fixtureBytes(name);
    ASSERT_GT(file.size(), 8 * kJetPage);
    ASSERT_FALSE(pagesOfType(file, kDataPage).empty());
    ASSERT_FALSE(pagesOfType(file, kTableDefinitionPage).empty());
    const bool exportReads = name != QLatin1String("PSWebAll.mdb");
    const bool codeListReads = name == QLatin1String("PSWebAll.mdb") || name == QLatin1String("Comuni.mdb");
    for (const std::vector<Damaged>& cases : {wholeFileDamage(file), pageDamage(file)}) {
        for (const Damaged& damaged : cases) {
            checkExport(name, damaged, damaged.alwaysReported && exportReads);
            checkCodeList(name, damaged, damaged.alwaysReported && codeListReads);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFile, DamagedDatabase, ::testing::ValuesIn(databaseNames()),
                         [](const auto& info) { return info.param.section(QLatin1Char('.'), 0, 0).toStdString(); });

// A table whose rows are partly unreadable must not pass for a shorter
// table: with no rows on a data page of the guest cards, reading them
// reports the file instead of handing back the other pages' cards.
TEST(DamagedGuestCards, WipedRowTableStopsTheRead)
{
    const QByteArray file = fixtureBytes(QStringLiteral("Scheda_Cliente.mdb"));
    bool triedOne = false;
    for (int page : pagesOfType(file, kDataPage)) {
        // Pages of the catalog (owned by page 2) make the table look missing
        // instead, which the broken-file cases cover.
        if (file.at(page * kJetPage + 4) == 2 && file.at(page * kJetPage + 5) == 0)
            continue;
        QByteArray bytes = file;
        bytes[page * kJetPage + 12] = 0;
        bytes[page * kJetPage + 13] = 0;
        ScratchDir scratch;
        scratch.replaceDatabaseBytes(QStringLiteral("Scheda_Cliente.mdb"), bytes);
        const auto error = dbErrorOf([] {
            db::Database database = db::Database::open(QStringLiteral("Scheda_Cliente.mdb"));
            db::Recordset cards = database.openRecordset(QStringLiteral("Scheda_Cliente"));
            cards.findFirst(QStringLiteral("NumeroHotel = 1"));
            if (!cards.noMatch())
                (void)cards.text(QStringLiteral("NomeCliente"));
        });
        if (error) {  // else a page of another table
            triedOne = true;
            EXPECT_TRUE(error->contains(QStringLiteral("\"Scheda_Cliente.mdb\""))) << error->toStdString();
            EXPECT_TRUE(error->contains(QStringLiteral("danneggiato"))) << error->toStdString();
        }
        EXPECT_TRUE(scratch.databasesUntouched());
    }
    EXPECT_TRUE(triedOne);
}

// The ready-made broken files: each names the file and the table or field
// that is missing, in the export run and in the code list where they read it.
TEST(BrokenFile, ReportedByNameWithWhatIsMissing)
{
    struct Case {
        const char* folder;
        const char* file;
        const char* missing;
        bool exportReads, codeListReads;
    };
    const Case cases[] = {
        {"missing-table", "Comuni.mdb", "CodiciVari", true, true},
        {"missing-column", "Scheda_Cliente.mdb", "NomeCliente", true, false},
        {"missing-history-table", "SchedaStoricoClienti.mdb", "Scheda_Cliente", true, false},
        {"missing-reference-table", "PSWebAll.mdb", "Comuni", false, true},
    };
    for (const Case& c : cases) {
        const QString file = QLatin1String(c.file);
        const Damaged broken{
            QLatin1String(c.folder),
            readBytes(fixtureDir(QStringLiteral("broken/") + QLatin1String(c.folder)) + QLatin1Char('/') + file)};
        ASSERT_FALSE(broken.bytes.isEmpty()) << c.folder;
        const QString missing = quoted(QLatin1String(c.missing));
        if (c.exportReads)
            checkExport(file, broken, true, missing);
        if (c.codeListReads)
            checkCodeList(file, broken, true, missing);
    }
}

// Column names garbled in a table definition: the clerk is told the file
// looks damaged, not sent looking for a field that seems to be missing.
TEST(DamagedTableDefinition, GarbledColumnNamesSayTheFileLooksDamaged)
{
    const QByteArray file = fixtureBytes(QStringLiteral("Scheda_Cliente.mdb"));
    const QByteArray name = QByteArray::fromRawData(reinterpret_cast<const char*>(u"NomeCliente"), 22);
    const qsizetype at = file.indexOf(name);
    ASSERT_GE(at, 0);
    ASSERT_EQ(file.at(at / kJetPage * kJetPage), char(kTableDefinitionPage));
    const std::pair<const char*, QByteArray> garbles[] = {
        {"control characters", QByteArray("\x01\x00\x02\x00", 4).repeated(5) + QByteArray("\x03\x00", 2)},
        {"a name refused by Access", QByteArray::fromRawData(reinterpret_cast<const char*>(u"Nome.Client"), 22)},
        {"a name twice", QByteArray::fromRawData(reinterpret_cast<const char*>(u"NUMEROHOTEL"), 22)},
    };
    for (const auto& [what, garbled] : garbles) {
        SCOPED_TRACE(what);
        ASSERT_EQ(garbled.size(), name.size());
        ExportSetup setup;
        setup.scratch.replaceDatabaseBytes(QStringLiteral("Scheda_Cliente.mdb"),
                                           QByteArray(file).replace(at, name.size(), garbled));
        setup.expectFailureNaming(setup.run(), quoted(QStringLiteral("Scheda_Cliente.mdb")));
        EXPECT_TRUE(setup.runs.messages.value(0).contains(QStringLiteral("sembra danneggiato"))) << setup.messages();
        EXPECT_FALSE(setup.runs.messages.value(0).contains(QStringLiteral("manca il campo"))) << setup.messages();
    }
}

}  // namespace
}  // namespace ostelvia::test
