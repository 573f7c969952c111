// SPDX-License-Identifier: GPL-3.0-or-later
// The tax report through the headless command, against reference answers
// worked out independently: the CSV rows (whatever their quoting), the rows
// of the stays behind them, the exit code, the number of stays that could
// not be computed, and a wrong rules file refused on one line of standard
// error.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "ExportCommand.h"
#include "TestSupport.h"

namespace ostelvia::test {
namespace {

QString referenceDir()
{
    return fixtureDir() + QStringLiteral("/expected-rendiconto/");
}

struct TaxCase {
    QString name;
    QString from;
    QString to;
    QString rules;
};

void PrintTo(const TaxCase& c, std::ostream* os)
{
    *os << c.name.toStdString();
}

std::vector<TaxCase> loadTaxCases()
{
    std::vector<TaxCase> cases;
    const QStringList lines = QString::fromUtf8(readBytes(referenceDir() + QStringLiteral("cases.tsv")))
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList cells = lines.at(i).trimmed().split(QLatin1Char('\t'));
        if (cells.size() >= 5)
            cases.push_back({cells.at(1), cells.at(2), cells.at(3), cells.at(4)});
    }
    return cases;
}

// RFC 4180 rows: quoted or bare fields, ";" between them, CR LF after each
// row. A row not ended by CR LF is kept as "<unended>" so it cannot match.
std::vector<QStringList> csvRows(const QByteArray& bytes)
{
    std::vector<QStringList> rows;
    const QString text = QString::fromUtf8(bytes);
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(';')) {
            row << field;
            field.clear();
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
            row << field;
            rows.push_back(row);
            row.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    if (!row.isEmpty() || !field.isEmpty())
        rows.push_back({QStringLiteral("<unended>")});
    return rows;
}

class TaxReportCasesTest : public ::testing::TestWithParam<TaxCase> { };

TEST(TaxReportCases, AllFiveAreRun)
{
    EXPECT_EQ(loadTaxCases().size(), 5u);
}

TEST_P(TaxReportCasesTest, MatchesTheReferenceAnswer)
{
    const TaxCase& c = GetParam();
    ScratchDir scratch;
    writeBytes(scratch.filePath(QStringLiteral("ImpostaSoggiorno.txt")),
               readBytes(referenceDir() + QStringLiteral("rules/") + c.rules));
    const QString csvPath = scratch.filePath(QStringLiteral("rendiconto.csv"));
    const QString staysPath = scratch.filePath(QStringLiteral("soggiorni.csv"));
    const CommandResult result =
        runCommand(scratch.path(),
                   {QStringLiteral("--rendiconto"), QStringLiteral("--from"), c.from, QStringLiteral("--to"), c.to,
                    QStringLiteral("--csv"), csvPath, QStringLiteral("--stays-csv"), staysPath});
    ASSERT_EQ(result.status, QProcess::NormalExit);

    const QString exitLine = QString::fromUtf8(readBytes(referenceDir() + c.name + QStringLiteral(".exit"))).trimmed();
    static const QRegularExpression form(QStringLiteral("^exit=(\\d)(?: not_computed=(\\d+))?(?: (.*))?$"));
    const QRegularExpressionMatch expected = form.match(exitLine);
    ASSERT_TRUE(expected.hasMatch()) << exitLine.toStdString();
    const int expectedExit = expected.captured(1).toInt();
    EXPECT_EQ(result.exitCode, expectedExit) << result.err.toStdString();

    if (expectedExit == 2) {
        const QString err = QString::fromUtf8(result.err);
        EXPECT_EQ(err.count(QLatin1Char('\n')), 1) << err.toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("ImpostaSoggiorno.txt"))) << err.toStdString();
        EXPECT_TRUE(err.contains(expected.captured(3))) << err.toStdString();
        EXPECT_FALSE(QFile::exists(csvPath));
        EXPECT_FALSE(QFile::exists(staysPath));
    } else {
        const QByteArray csv = readBytes(csvPath);
        const QByteArray reference = readBytes(referenceDir() + c.name + QStringLiteral(".csv"));
        EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
        EXPECT_EQ(csvRows(csv), csvRows(reference));
        EXPECT_TRUE(isOwnerOnly(csvPath));
        const QByteArray stays = readBytes(staysPath);
        EXPECT_TRUE(stays.startsWith("\xEF\xBB\xBF"));
        const std::vector<QStringList> staysReference =
            csvRows(readBytes(referenceDir() + c.name + QStringLiteral(".stays.csv")));
        ASSERT_FALSE(staysReference.empty());
        const std::vector<QStringList> staysRows = csvRows(stays);
        ASSERT_EQ(staysRows.size(), staysReference.size());
        for (size_t row = 0; row < staysRows.size(); ++row)
            EXPECT_EQ(staysRows[row], staysReference[row]) << "row " << row;
        // The stays that could not be computed are listed, one line each.
        const QString out = terminalOutput(result);
        static const QRegularExpression listed(QStringLiteral("non contati: (\\d+)\n"));
        const QRegularExpressionMatch count = listed.match(out);
        EXPECT_EQ(count.hasMatch() ? count.captured(1) : QStringLiteral("0"), expected.captured(2))
            << out.toStdString();
        EXPECT_EQ(out.count(QStringLiteral("\nCamera ")), expected.captured(2).toInt()) << out.toStdString();
        EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
    }
    EXPECT_TRUE(scratch.databasesUntouched());
}

INSTANTIATE_TEST_SUITE_P(Basic, TaxReportCasesTest, ::testing::ValuesIn(loadTaxCases()),
                         [](const ::testing::TestParamInfo<TaxCase>& info) {
                             return QString(info.param.name).replace(QLatin1Char('-'), QLatin1Char('_')).toStdString();
                         });

// What the terminal shows of the spring: the rules, the aligned table, the
// card that cannot be computed; and the command's misuse.
TEST(TaxReportCommandTest, PrintsRulesTableAndUncomputedStays)
{
    ScratchDir scratch;
    writeBytes(scratch.filePath(QStringLiteral("impostasoggiorno.TXT")), "Tariffa=2\r\nNottiMassime=2\r\n");
    const CommandResult result =
        runCommand(scratch.path(),
                   {QStringLiteral("--rendiconto"), QStringLiteral("--from"), QStringLiteral("01/01/2000"),
                    QStringLiteral("--to"), QStringLiteral("31/12/2030")});
    ASSERT_EQ(result.exitCode, 1) << result.err.toStdString();
    const QString out = terminalOutput(result);
    EXPECT_TRUE(out.contains(QStringLiteral("Tariffa: 2,00 euro a persona per notte\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Tassate al più le prime 2 notti di ogni soggiorno\n")));
    EXPECT_TRUE(out.contains(QStringLiteral("Mese     Soggiorni  Pernottamenti  Esenti residenti  Esenti età")))
        << out.toStdString();
    EXPECT_TRUE(out.contains(QRegularExpression(QStringLiteral("\nTotale +132 +419 +0 +0 +\\d+ +\\d+ +\\d+,\\d\\d\n"))))
        << out.toStdString();
    EXPECT_TRUE(
        out.contains(QRegularExpression(QStringLiteral("\nCamera [^\n]*\\(arrivo mancante, partenza [^\n]*\n"))))
        << out.toStdString();

    const QStringList range = {QStringLiteral("--from"), QStringLiteral("01/05/2024"), QStringLiteral("--to"),
                               QStringLiteral("31/05/2024")};
    struct Case {
        const char* what;
        QStringList arguments;
        const char* rules;
    };
    const Case cases[] = {
        {"no rules file", QStringList{QStringLiteral("--rendiconto")} + range, nullptr},
        {"report with the check", QStringList{QStringLiteral("--rendiconto"), QStringLiteral("--check")} + range,
         "Tariffa=1\n"},
        {"a municipality the code table lacks", QStringList{QStringLiteral("--rendiconto")} + range,
         "Tariffa=1\n# residenti\nComuneResidenti=PAPEROPOLI\n"},
        {"csv into a folder that does not exist",
         QStringList{QStringLiteral("--rendiconto")} + range
             + QStringList{QStringLiteral("--csv"), QStringLiteral("no/such/x.csv")},
         "Tariffa=1\n"},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        if (c.rules)
            writeBytes(dir.filePath(QStringLiteral("ImpostaSoggiorno.txt")), c.rules);
        const CommandResult failed = runCommand(dir.path(), c.arguments);
        EXPECT_EQ(failed.exitCode, 2) << c.what;
        EXPECT_FALSE(failed.err.isEmpty()) << c.what;
    }
    ScratchDir dir;
    writeBytes(dir.filePath(QStringLiteral("ImpostaSoggiorno.txt")),
               "Tariffa=1\n# residenti\nComuneResidenti=PAPEROPOLI\n");
    const CommandResult unknown = runCommand(dir.path(), QStringList{QStringLiteral("--rendiconto")} + range);
    EXPECT_TRUE(unknown.err.contains("ImpostaSoggiorno.txt\" non va bene, riga 3")) << unknown.err.toStdString();
}

// The check and the report count what the dates mean: a date that is no
// real DD/MM/YYYY day, or a range that ends before it begins, is refused with
// the option named, before any file is read or written.
TEST(TaxReportCommandTest, CheckAndReportRefuseDatesTheyCannotMean)
{
    struct Case {
        QString from;
        QString to;
        const char* expected;
    };
    const Case cases[] = {
        {QStringLiteral("1/3/2024"), QStringLiteral("31/3/2024"),
         "--from: \"1/3/2024\" non è una data nella forma GG/MM/AAAA"},
        {QStringLiteral("01/03/2024"), QStringLiteral("31/02/2024"), "--to: il 31/02/2024 non esiste"},
        {QStringLiteral("31/03/2024"), QStringLiteral("01/03/2024"), "--to: il 01/03/2024 è precedente"},
    };
    for (const QString& command : {QStringLiteral("--check"), QStringLiteral("--rendiconto")}) {
        for (const Case& c : cases) {
            ScratchDir scratch;
            writeBytes(scratch.filePath(QStringLiteral("ImpostaSoggiorno.txt")), "Tariffa=1\n");
            const QString csvPath = scratch.filePath(QStringLiteral("righe.csv"));
            const CommandResult result = runCommand(scratch.path(),
                                                    {command, QStringLiteral("--from"), c.from, QStringLiteral("--to"),
                                                     c.to, QStringLiteral("--csv"), csvPath});
            const QString err = QString::fromUtf8(result.err);
            EXPECT_EQ(result.exitCode, 2) << command.toStdString() << " " << c.expected;
            EXPECT_TRUE(err.contains(QString::fromUtf8(c.expected))) << err.toStdString();
            EXPECT_EQ(err.count(QLatin1Char('\n')), 1) << err.toStdString();
            EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
            EXPECT_FALSE(QFile::exists(csvPath));
        }
    }
    ScratchDir scratch;
    const CommandResult staysWithoutReport = runCommand(
        scratch.path(),
        {QStringLiteral("--check"), QStringLiteral("--from"), QStringLiteral("01/03/2024"), QStringLiteral("--to"),
         QStringLiteral("31/03/2024"), QStringLiteral("--stays-csv"), scratch.filePath(QStringLiteral("s.csv"))});
    EXPECT_EQ(staysWithoutReport.exitCode, 2);
    EXPECT_TRUE(staysWithoutReport.err.contains("--stays-csv va con --rendiconto"));
}

}  // namespace
}  // namespace ostelvia::test
