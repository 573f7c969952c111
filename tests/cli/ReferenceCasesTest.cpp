// SPDX-License-Identifier: GPL-3.0-or-later
// Every range of the basic dataset's reference answers, run through the
// headless command and compared byte for byte: export file, exit code, and
// the findings text of a run that stops. The same databases stored in the
// Access 97 format (basic-jet3) must give the same answers.
#include <gtest/gtest.h>

#include <QFile>

#include "ExportCommand.h"
#include "TestSupport.h"
#include "text/Cp1252.h"

namespace ostelvia::test {
namespace {

struct ReferenceCase {
    QString dataset;
    QString name;
    QString from;
    QString to;
    QString roomFrom;
    QString roomTo;
};

std::vector<ReferenceCase> loadCases(const QString& dataset)
{
    const QString path = fixtureDir() + QStringLiteral("/expected/cases.tsv");
    std::vector<ReferenceCase> cases;
    const QStringList lines = QString::fromUtf8(readBytes(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList cells = lines.at(i).split(QLatin1Char('\t'));
        if (cells.size() >= 6)
            cases.push_back({dataset, cells.at(1), cells.at(2), cells.at(3), cells.at(4), cells.at(5)});
    }
    return cases;
}

// Names the case in test output instead of dumping its bytes.
void PrintTo(const ReferenceCase& c, std::ostream* os)
{
    *os << c.name.toStdString();
}

class ReferenceCasesTest : public ::testing::TestWithParam<ReferenceCase> { };

// A case list read short (a damaged line, a missing file) would pass quietly
// with fewer cases: every one of them becomes a test below.
TEST(ReferenceCases, AllOneHundredFiftyAreRun)
{
    EXPECT_EQ(loadCases(QStringLiteral("basic")).size(), 150u);
    EXPECT_EQ(loadCases(QStringLiteral("basic-jet3")).size(), 150u);
}

QByteArray expected(const QString& caseName, const QString& extension)
{
    return readBytes(fixtureDir() + QStringLiteral("/expected/") + caseName + extension);
}

TEST_P(ReferenceCasesTest, MatchesTheReferenceAnswer)
{
    const ReferenceCase& c = GetParam();
    ScratchDir scratch(c.dataset);
    const QString exportPath = scratch.filePath(QStringLiteral("ZaverUdevu.txt"));
    scratch.writeSettings(exportPath, QStringLiteral("true"));

    const CommandResult result =
        runCommand(scratch.path(),
                   {QStringLiteral("--from"), c.from, QStringLiteral("--to"), c.to, QStringLiteral("--room-from"),
                    c.roomFrom, QStringLiteral("--room-to"), c.roomTo});
    ASSERT_EQ(result.status, QProcess::NormalExit);

    const int expectedExit = expected(c.name, QStringLiteral(".exit")).trimmed().toInt();
    EXPECT_EQ(result.exitCode, expectedExit) << result.err.toStdString();
    EXPECT_EQ(readBytes(exportPath), expected(c.name, QStringLiteral(".out")));
    if (expectedExit == 1) {
        // The dialog's text, as the terminal gets it: its lines end with LF.
        EXPECT_EQ(terminalOutput(result),
                  text::fromCp1252(expected(c.name, QStringLiteral(".findings")))
                      .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        EXPECT_FALSE(QFile::exists(scratch.filePath(QStringLiteral("Passa.txt"))));
    }
    EXPECT_TRUE(scratch.databasesUntouched());
}

std::string caseName(const ::testing::TestParamInfo<ReferenceCase>& info)
{
    QString name = info.param.name;
    name.replace(QLatin1Char('-'), QLatin1Char('_'));
    return name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Basic, ReferenceCasesTest, ::testing::ValuesIn(loadCases(QStringLiteral("basic"))), caseName);
INSTANTIATE_TEST_SUITE_P(Jet3, ReferenceCasesTest, ::testing::ValuesIn(loadCases(QStringLiteral("basic-jet3"))),
                         caseName);

}  // namespace
}  // namespace ostelvia::test
