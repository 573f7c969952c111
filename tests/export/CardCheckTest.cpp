// SPDX-License-Identifier: GPL-3.0-or-later
// The check of every card in the engine: it walks the export's selection to
// the end and agrees with the export run card for card; hostile and Null
// values the fixture files lack, as in-memory guest tables; failures raise.
#include <gtest/gtest.h>

#include <QFileInfo>

#include "db/Database.h"
#include "export/CardCheck.h"
#include "export/CheckOutput.h"
#include "FixtureSource.h"
#include "RunDoubles.h"
#include "TestSupport.h"

namespace ostelvia::test {
namespace {

using exporter::CheckReport;

const QString kCurrent = QStringLiteral("Scheda_Cliente.mdb");
const QString kHistory = QStringLiteral("SchedaStoricoClienti.mdb");

CheckReport check(const QString& from, const QString& to, const FixedRooms& rooms = FixedRooms())
{
    return exporter::checkAllCards(from, to, rooms);
}

const exporter::CheckedCard* cardNumbered(const CheckReport& report, const QString& cardNumber)
{
    for (const auto& card : report.cards) {
        if (card.cardNumber == cardNumber)
            return &card;
    }
    return nullptr;
}

TEST(CardCheckTest, SuggestionsOfTheBasicCards)
{
    ScratchDir scratch;
    const CheckReport report = check(QStringLiteral("31/12/1999"), QStringLiteral("03/08/2024"));
    struct Case {
        const char* cardNumber;
        int problem;
        QStringList suggestions;
    };
    const Case cases[] = {
        // Stored "CESENA " in the code table: offered as it reads, with what differs.
        {"1261", 0, {QStringLiteral("\"CESENA\" (nella tabella dei codici con spazi in più)")}},
        {"1262", 0, {QStringLiteral("D \u2014 GERMANIA")}},  // nationality "D " with a blank
        {"1290", 1, {QStringLiteral("I \u2014 ITALIA")}},    // state " I"
        {"1276", 0, {}},                                     // PAPEROPOLI: nothing close
        {"1288", 0, {}},                                     // GOTHAM: not a state or town
        {"1290", 0, {}},                                     // a date: no code table
    };
    for (const Case& c : cases) {
        const exporter::CheckedCard* card = cardNumbered(report, QString::fromUtf8(c.cardNumber));
        ASSERT_NE(card, nullptr) << c.cardNumber;
        ASSERT_GT(card->problems.size(), static_cast<size_t>(c.problem)) << c.cardNumber;
        EXPECT_EQ(card->problems.at(static_cast<size_t>(c.problem)).suggestions, c.suggestions)
            << c.cardNumber << ": " << card->problems.at(static_cast<size_t>(c.problem)).text.toStdString();
    }
    EXPECT_TRUE(scratch.databasesUntouched());
}

// Every problem of a report, one line each.
QStringList problemLines(const CheckReport& report)
{
    QStringList lines;
    for (const auto& card : report.cards)
        for (const auto& problem : card.problems)
            lines << card.cardNumber + QLatin1Char(' ') + problem.text;
    return lines;
}

TEST(CardCheckTest, TheNextRunChecksAgainstTheCodesAsTheyAreNow)
{
    // The code searches are answered once per run: the clerk who replaces
    // "Comuni.mdb" between two checks must see the second check agree with
    // the new file, as a check started afresh would.
    ScratchDir scratch;
    const QString from = QStringLiteral("31/12/1999");
    const QString to = QStringLiteral("03/08/2024");
    const QStringList before = problemLines(check(from, to));
    const QString comuni = scratch.filePath(QStringLiteral("Comuni.mdb"));
    writeBytes(comuni, readBytes(scratch.filePath(QStringLiteral("CodiciVari.mdb"))));
    ASSERT_TRUE(moveModifiedTimeOn(comuni, 10));
    const QStringList after = problemLines(check(from, to));
    EXPECT_EQ(after, problemLines(check(from, to)));
    EXPECT_NE(after, before);
}

// Cards the fixture files lack: each alone in an in-memory current database,
// with an empty history.
class CheckedMemoryCard : public ::testing::Test {
protected:
    void SetUp() override { db::registerMemoryDatabase(kHistory, {guestTable({})}); }
    void TearDown() override
    {
        db::clearMemoryDatabases();
        EXPECT_TRUE(scratch.databasesUntouched());
    }
    CheckReport checkCard(const SourceRow& card)
    {
        db::registerMemoryDatabase(kCurrent, {guestTable({card})});
        return check(QStringLiteral("04/03/2024"), QStringLiteral("04/03/2024"));
    }

    ScratchDir scratch;
};

TEST_F(CheckedMemoryCard, HostileAndNullValuesAreReportedAsStored)
{
    const SourceRow good = cardByLabel(QStringLiteral("Scheda_Cliente"), QStringLiteral("C01"));
    struct Case {
        const char* what;
        std::vector<std::pair<QString, QString>> values;  // "\N" is Null
        QString guestName;
        QString arrival;
        QString room;
        QString cardNumber;
        QStringList problems;
    };
    const Case cases[] = {
        {"Null name, arrival and card number, bad nationality",
         {{QStringLiteral("NomeCliente"), QStringLiteral("\\N")},
          {QStringLiteral("DataArrivo"), QStringLiteral("\\N")},
          {QStringLiteral("NumeroProgressivo"), QStringLiteral("\\N")},
          {QStringLiteral("Nazione"), QStringLiteral("QQ")}},
         QString(),
         QString(),
         QStringLiteral("101"),
         QString(),
         {QStringLiteral("Codice nazionalità errato (QQ) ")}},
        {"quotes and line ends in the name and the residence",
         {{QStringLiteral("NomeCliente"), QStringLiteral("O'BRIEN \"X\"\r\nY")},
          {QStringLiteral("Residenza"), QStringLiteral("ROMA' OR '1'='1")}},
         QStringLiteral("O'BRIEN \"X\"\r\nY"),
         QStringLiteral("01/03/2024"),
         QStringLiteral("101"),
         QStringLiteral("1201"),
         {QStringLiteral("Residenza italiana errata (ROMA' OR '1'='1) O'BRIEN \"X\"\r\nY")}},
        {"empty arrival: a record that does not fit",
         {{QStringLiteral("DataArrivo"), QString()}},
         QStringLiteral("ROSSI MARIO"),
         QStringLiteral("//"),
         QStringLiteral("101"),
         QStringLiteral("1201"),
         {QStringLiteral("Tracciato record errato (campo 2: ) ROSSI MARIO"),
          QStringLiteral("Tracciato record errato (campo 4: ) ROSSI MARIO")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SourceRow card = good;
        for (const auto& [field, value] : c.values)
            card[field] = value;
        const CheckReport report = checkCard(card);
        EXPECT_EQ(report.totals.checked, 1);
        EXPECT_EQ(report.totals.withProblems, 1);
        EXPECT_EQ(report.totals.wouldWrite, 0);
        ASSERT_EQ(report.cards.size(), 1u);
        const exporter::CheckedCard& checked = report.cards.front();
        EXPECT_EQ(checked.database, kCurrent);
        EXPECT_EQ(checked.guestName, c.guestName);
        EXPECT_EQ(checked.arrival, c.arrival);
        EXPECT_EQ(checked.departure, QStringLiteral("04/03/2024"));
        EXPECT_EQ(checked.room, c.room);
        EXPECT_EQ(checked.cardNumber, c.cardNumber);
        QStringList problems;
        for (const auto& problem : checked.problems)
            problems.append(problem.text);
        EXPECT_EQ(problems, c.problems);
    }
}

TEST_F(CheckedMemoryCard, ControlCharactersStayOnOneLineInThePrintedReport)
{
    SourceRow card = cardByLabel(QStringLiteral("Scheda_Cliente"), QStringLiteral("C01"));
    card[QStringLiteral("NomeCliente")] = QStringLiteral("ROSSI\r\nMARIA LUISA\x01");
    card[QStringLiteral("Nazione")] = QStringLiteral("QQ");
    const QString text = exporter::checkText(checkCard(card));
    EXPECT_EQ(text.count(QLatin1Char('\n')), 4) << text.toStdString();  // heading, problem, blank, totals
    EXPECT_FALSE(text.contains(QLatin1Char('\r')));
    EXPECT_TRUE(text.contains(QStringLiteral("Codice nazionalità errato (QQ) ROSSI  MARIA LUISA \n")));
}

TEST_F(CheckedMemoryCard, AGoodCardIsCountedAndNotListed)
{
    const CheckReport report = checkCard(cardByLabel(QStringLiteral("Scheda_Cliente"), QStringLiteral("C01")));
    EXPECT_EQ(report.totals.checked, 1);
    EXPECT_EQ(report.totals.withProblems, 0);
    EXPECT_EQ(report.totals.wouldWrite, 1);
    EXPECT_TRUE(report.cards.empty());
}

TEST(CardCheckTest, DatabaseFailuresRaiseNamingTheFile)
{
    for (const QString& file : {kCurrent, kHistory, QStringLiteral("Comuni.mdb"), QStringLiteral("CodiciVari.mdb")}) {
        for (const bool damaged : {false, true}) {
            SCOPED_TRACE((damaged ? "damaged " : "missing ") + file.toStdString());
            ScratchDir scratch;
            if (damaged)  // the first pages only, as after a broken copy
                scratch.replaceDatabaseBytes(file, readBytes(scratch.filePath(file)).left(4096));
            else
                QFile::remove(scratch.filePath(file));
            try {
                check(QStringLiteral("01/05/2024"), QStringLiteral("31/05/2024"));
                ADD_FAILURE() << "no error";
            } catch (const db::DbError& error) {
                EXPECT_TRUE(error.message().contains(file)) << error.message().toStdString();
            }
            if (damaged) {
                EXPECT_TRUE(scratch.databasesUntouched());
            }
        }
    }
}

}  // namespace
}  // namespace ostelvia::test
