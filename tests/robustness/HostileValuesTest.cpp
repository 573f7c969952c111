// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile values: quotes, brackets, wildcard characters, very long texts,
// control characters and characters outside Windows-1252, in guest cards and
// in the typed ranges. Each is exported or reported as any other value; none
// breaks a query or the width of a record.
#include "export/PresenceRecord.h"
#include "FixtureSource.h"
#include "RunSetup.h"
#include "text/Cp1252.h"

namespace ostelvia::test {
namespace {

using exporter::RunSummary;

// C01 as the only current card, run on its date; the history finds nothing.
class HostileCard : public ::testing::Test, protected ExportSetup {
protected:
    void SetUp() override { db::registerMemoryDatabase(QStringLiteral("SchedaStoricoClienti.mdb"), {guestTable({})}); }
    void TearDown() override
    {
        db::clearMemoryDatabases();
        EXPECT_TRUE(scratch.databasesUntouched());
    }
    RunSummary runCard()
    {
        db::registerMemoryDatabase(QStringLiteral("Scheda_Cliente.mdb"), {guestTable({card})});
        runs = RunLog();
        exporter::MessaggioErrore.clear();
        return run(QStringLiteral("04/03/2024"), QStringLiteral("04/03/2024"));
    }

    SourceRow card = cardByLabel(QStringLiteral("Scheda_Cliente"), QStringLiteral("C01"));
};

TEST_F(HostileCard, ValuesAreWrittenAsAnyOtherWithinTheirFields)
{
    QString note = QStringLiteral("C01: '\"[]%*?#\t\r\n\x01 \u0141\u674E\U0001F600 ");
    while (note.size() < 10000)
        note += QStringLiteral("O'Hara [x] 100% *?# ");
    // C01's reference record; field 13 (30 characters from 60) the surname,
    // field 14 the first name.
    const QByteArray reference = expectedBytes(QStringLiteral("card-C01.out"));
    struct Case {
        const char* what;
        std::vector<std::pair<QString, QString>> values;
        QByteArray names;  // bytes 60 to 120 of the record
    };
    const Case cases[] = {
        {"memo of ten thousand hostile characters, not exported",
         {{QStringLiteral("Note"), note}},
         reference.mid(16 + 60, 60)},
        {"quotes, brackets and wildcards",
         {{QStringLiteral("NomeCliente"), QStringLiteral("O'BRIEN \"[%*?#]\"")}},
         QByteArray("O'BRIEN").leftJustified(30) + QByteArray("\"[%*?#]\"").leftJustified(30)},
        {"name of ten thousand characters",
         {{QStringLiteral("NomeCliente"), QStringLiteral("ROSSI ") + QString(10000, QLatin1Char('M'))}},
         QByteArray("ROSSI").leftJustified(30) + QByteArray(30, 'M')},
        // A Polish letter, a CJK character and an emoji (two UTF-16 units): one byte each.
        {"characters outside the code page",
         {{QStringLiteral("NomeCliente"), QStringLiteral("\u0141UKASZ \u674E\U0001F600")}},
         QByteArray("?UKASZ").leftJustified(30) + QByteArray("??").leftJustified(30)},
        // Each control character a blank: "ROSSI  X" is the surname part.
        {"control characters",
         {{QStringLiteral("NomeCliente"), QStringLiteral("ROSSI\r\nX MARIO")},
          {QStringLiteral("Indirizzo"), QStringLiteral("VIA\nAPPIA\x1A\x7F NUOVA 12")}},
         QByteArray("ROSSI  X").leftJustified(30) + QByteArray("MARIO").leftJustified(30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        card = cardByLabel(QStringLiteral("Scheda_Cliente"), QStringLiteral("C01"));
        for (const auto& [field, value] : c.values)
            card[field] = value;
        const RunSummary summary = runCard();
        ASSERT_EQ(summary.outcome, RunSummary::Outcome::Completed) << messages();
        EXPECT_EQ(summary.recordsWritten, 1);
        EXPECT_TRUE(runs.messages.isEmpty());
        const QByteArray bytes = readBytes(exportPath);
        ASSERT_EQ(bytes.size(), 16 + exporter::kRecordLength);
        EXPECT_EQ(bytes.count('\n'), 1);
        EXPECT_EQ(bytes.count('\r'), 1);
        EXPECT_EQ(bytes.mid(16 + 60, 60), c.names);
        if (c.values.size() == 1) {  // the rest of the record is C01's own
            EXPECT_EQ(bytes.left(16 + 60) + bytes.mid(16 + 120), reference.left(16 + 60) + reference.mid(16 + 120));
        }
    }
}

TEST_F(HostileCard, QuoteOrWildcardInALookedUpNameIsAFindingNotABrokenQuery)
{
    for (const QString& residence : {QStringLiteral("ROMA' OR '1'='1"), QStringLiteral("[ROMA]%*?#")}) {
        card[QStringLiteral("Residenza")] = residence;
        EXPECT_EQ(runCard().outcome, RunSummary::Outcome::StoppedOnCard);
        ASSERT_EQ(runs.messages.size(), 1);
        EXPECT_EQ(runs.messages.at(0), QStringLiteral("Residenza italiana errata (%1) ROSSI MARIO\r\n").arg(residence));
        EXPECT_EQ(exporter::MessaggioErrore, exporter::kFine);
        // The header only: nothing of the stopped card.
        EXPECT_EQ(readBytes(exportPath), QByteArray("TBPRES01      \r\n"));
    }
}

TEST_F(HostileCard, AsteriskInTheLanguageKeepsTheCardOut)
{
    card[QStringLiteral("Lingua")] = QStringLiteral("I*'");
    EXPECT_EQ(runCard().outcome, RunSummary::Outcome::Completed);
    EXPECT_EQ(readBytes(exportPath), QByteArray("TBPRES01      "));
}

// Typed ranges with quotes and wildcards over the real files.
class HostileRange : public ::testing::Test, protected ExportSetup {
protected:
    void TearDown() override { EXPECT_TRUE(scratch.databasesUntouched()); }
};

TEST_F(HostileRange, RoomsWithQuotesAndWildcardsCompareAsText)
{
    // "2'%*" sorts before "201" (a quote before any digit) and "2?#[" after
    // "212" ("?" after any digit): exactly the rooms 201 to 212.
    rooms.first = QStringLiteral("2'%*");
    rooms.last = QStringLiteral("2?#[");
    EXPECT_EQ(run().outcome, RunSummary::Outcome::Completed) << messages();
    EXPECT_EQ(readBytes(exportPath), expectedBytes(QStringLiteral("wide-range-rooms-200-to-299.out")));
}

TEST_F(HostileRange, QuotesInTheTypedDatesStayInsideTheirLiteral)
{
    // Stored as "2'000'0'", which sorts before every "2000..." date and after
    // "19991231": the same cards as from 01/01/2000.
    EXPECT_EQ(run(QStringLiteral("0'/0'/2'00")).outcome, RunSummary::Outcome::Completed) << messages();
    EXPECT_EQ(readBytes(exportPath), expectedBytes(QStringLiteral("wide-range.out")));

    // A quote closing the literal early and a comment: no card, no error.
    const RunSummary none = run(QStringLiteral("' or 1=1 -"), QStringLiteral("--'; drop x"));
    EXPECT_EQ(none.outcome, RunSummary::Outcome::Completed) << messages();
    EXPECT_EQ(none.recordsWritten, 0);
    EXPECT_EQ(readBytes(exportPath), QByteArray("TBPRES01      "));
}

}  // namespace
}  // namespace ostelvia::test
