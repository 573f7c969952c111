// SPDX-License-Identifier: GPL-3.0-or-later
// The check of every card through the headless command, against reference
// answers worked out independently: the CSV rows (every column but the
// suggestions), the totals, the exit code; and what the command prints.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "ExportCommand.h"
#include "RangeCases.h"
#include "TestSupport.h"

namespace ostelvia::test {
namespace {

QString referenceDir()
{
    return fixtureDir() + QStringLiteral("/expected-check/");
}

// The reference leaves the suggestions empty: so does the compared copy.
QByteArray withoutSuggestions(const QByteArray& csv)
{
    static const QRegularExpression lastField(QStringLiteral("\";\"(?:[^\"]|\"\")*\"\r\n"));
    // The header row (with the byte-order mark, which decoding would drop) stays.
    const qsizetype rows = csv.indexOf("\r\n") + 2;
    return csv.left(rows) + QString::fromUtf8(csv.mid(rows)).replace(lastField, QStringLiteral("\";\"\"\r\n")).toUtf8();
}

// "checked=N invalid=M written=K" from the command's last line.
QString summaryOf(const QByteArray& out)
{
    const QStringList lines = QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QString last = lines.isEmpty() ? QString() : lines.last();
    if (last == QLatin1String("Nessuna scheda nel periodo"))
        return QStringLiteral("checked=0 invalid=0 written=0");
    static const QRegularExpression totals(
        QStringLiteral("^(\\d+) schede? controllat[ae], (\\d+) con problemi, (\\d+) record da esportare$"));
    const QRegularExpressionMatch m = totals.match(last);
    if (!m.hasMatch())
        return QStringLiteral("unreadable: ") + last;
    return QStringLiteral("checked=%1 invalid=%2 written=%3").arg(m.captured(1), m.captured(2), m.captured(3));
}

class CheckCasesTest : public ::testing::TestWithParam<RangeCase> { };

// A case list read short would pass quietly with fewer cases.
TEST(CheckCases, AllFiveAreRun)
{
    EXPECT_EQ(loadRangeCases(referenceDir() + QStringLiteral("cases.tsv")).size(), 5u);
}

TEST_P(CheckCasesTest, MatchesTheReferenceAnswer)
{
    const RangeCase& c = GetParam();
    ScratchDir scratch;  // no TaxSetup.txt: the check needs none
    const QString csvPath = scratch.filePath(QStringLiteral("controllo.csv"));
    const CommandResult result = runCommand(scratch.path(),
                                            {QStringLiteral("--check"), QStringLiteral("--from"), c.from,
                                             QStringLiteral("--to"), c.to, QStringLiteral("--room-from"), c.roomFrom,
                                             QStringLiteral("--room-to"), c.roomTo, QStringLiteral("--csv"), csvPath});
    ASSERT_EQ(result.status, QProcess::NormalExit);

    const QByteArray expectedCsv = readBytes(referenceDir() + c.name + QStringLiteral(".csv"));
    const QByteArray csv = readBytes(csvPath);
    EXPECT_EQ(withoutSuggestions(csv).toStdString(), expectedCsv.toStdString());
    EXPECT_EQ(
        summaryOf(result.out).toStdString(),
        QString::fromUtf8(readBytes(referenceDir() + c.name + QStringLiteral(".summary"))).trimmed().toStdString());
    const bool problems = expectedCsv.count("\r\n") > 1;
    EXPECT_EQ(result.exitCode, problems ? 1 : 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();

    EXPECT_FALSE(QFile::exists(scratch.filePath(QStringLiteral("TaxSetup.txt"))));
    EXPECT_FALSE(QFile::exists(scratch.filePath(QStringLiteral("Passa.txt"))));
    EXPECT_TRUE(scratch.databasesUntouched());
}

INSTANTIATE_TEST_SUITE_P(Basic, CheckCasesTest,
                         ::testing::ValuesIn(loadRangeCases(referenceDir() + QStringLiteral("cases.tsv"))),
                         rangeCaseName);

// May 2024 as the clerk reads it: a heading per card, the problem lines, the
// suggestions of the code tables, the totals.
TEST(CheckCommandTest, PrintsEachCardWithItsProblemsAndSuggestions)
{
    ScratchDir scratch;
    const CommandResult result =
        runCommand(scratch.path(),
                   {QStringLiteral("--check"), QStringLiteral("--from"), QStringLiteral("01/05/2024"),
                    QStringLiteral("--to"), QStringLiteral("31/05/2024")});
    ASSERT_EQ(result.exitCode, 1) << result.err.toStdString();
    const QString out = terminalOutput(result);
    EXPECT_TRUE(out.startsWith(QStringLiteral(
        "Camera 101, scheda 1308: DOPO PROVA (arrivo 28/04/2024, partenza 01/05/2024) in Scheda_Cliente.mdb\n"
        "Codice nazionalità errato (QQ) DOPO PROVA\n\n")))
        << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Residenza italiana errata (CESENA) MAZZA DINO\n"
                                            "  forse: \"CESENA\" (nella tabella dei codici con spazi in più)\n")))
        << out.toStdString();
    EXPECT_TRUE(
        out.contains(QStringLiteral("Codice nazionalità errato (D ) KELLER JONAS\n  forse: D \u2014 GERMANIA\n")))
        << out.toStdString();
    EXPECT_TRUE(out.endsWith(QStringLiteral("\n21 schede controllate, 10 con problemi, 11 record da esportare\n")))
        << out.toStdString();
}

TEST(CheckCommandTest, BadUseAndFailuresExitTwo)
{
    const QStringList range = {QStringLiteral("--from"), QStringLiteral("01/05/2024"), QStringLiteral("--to"),
                               QStringLiteral("31/05/2024")};
    struct Case {
        const char* what;
        QStringList arguments;
        const char* missingDatabase;
    };
    const Case cases[] = {
        {"csv without check", range + QStringList{QStringLiteral("--csv"), QStringLiteral("x.csv")}, nullptr},
        {"check with the code list", QStringList{QStringLiteral("--check"), QStringLiteral("--code-list")} + range,
         nullptr},
        {"csv into a folder that does not exist",
         QStringList{QStringLiteral("--check")} + range
             + QStringList{QStringLiteral("--csv"), QStringLiteral("no/such/x.csv")},
         nullptr},
        {"history database missing", QStringList{QStringLiteral("--check")} + range, "SchedaStoricoClienti.mdb"},
        {"code table missing", QStringList{QStringLiteral("--check")} + range, "Comuni.mdb"},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        if (c.missingDatabase)
            QFile::remove(dir.filePath(QString::fromUtf8(c.missingDatabase)));
        const CommandResult result = runCommand(dir.path(), c.arguments);
        EXPECT_EQ(result.status, QProcess::NormalExit) << c.what;
        EXPECT_EQ(result.exitCode, 2) << c.what;
        EXPECT_FALSE(result.err.isEmpty()) << c.what;
    }
}

}  // namespace
}  // namespace ostelvia::test
