// Every range of the basic dataset's reference answers, run through the
// headless command and compared byte for byte: export file, exit code, and
// the findings text of a run that stops.
#include <gtest/gtest.h>

#include <QFile>

#include "ExportCommand.h"
#include "RangeCases.h"
#include "TestSupport.h"

namespace ostelvia::test {
namespace {

class ReferenceCasesTest : public ::testing::TestWithParam<RangeCase> {};

// A case list read short (a damaged line, a missing file) would pass quietly
// with fewer cases: every one of them becomes a test below.
TEST(ReferenceCases, AllOneHundredFiftyAreRun)
{
    EXPECT_EQ(loadRangeCases(fixtureDir() + QStringLiteral("/expected/cases.tsv")).size(), 150u);
}

QByteArray expected(const QString& caseName, const QString& extension)
{
    return readBytes(fixtureDir() + QStringLiteral("/expected/") + caseName + extension);
}

TEST_P(ReferenceCasesTest, MatchesTheReferenceAnswer)
{
    const RangeCase& c = GetParam();
    ScratchDir scratch;
    const QString exportPath = scratch.filePath(QStringLiteral("ZaverUdevu.txt"));
    scratch.writeSettings(exportPath, QStringLiteral("true"));

    const CommandResult result =
        runCommand(scratch.path(), {QStringLiteral("--from"), c.from, QStringLiteral("--to"), c.to, QStringLiteral("--room-from"),
                                    c.roomFrom, QStringLiteral("--room-to"), c.roomTo});
    ASSERT_EQ(result.status, QProcess::NormalExit);

    const int expectedExit = expected(c.name, QStringLiteral(".exit")).trimmed().toInt();
    EXPECT_EQ(result.exitCode, expectedExit) << result.err.toStdString();
    EXPECT_EQ(readBytes(exportPath), expected(c.name, QStringLiteral(".out")));
    if (expectedExit == 1) {
        EXPECT_EQ(result.out, expected(c.name, QStringLiteral(".findings")));
        EXPECT_FALSE(QFile::exists(scratch.filePath(QStringLiteral("Passa.txt"))));
    }
    EXPECT_TRUE(scratch.databasesUntouched());
}

INSTANTIATE_TEST_SUITE_P(Basic, ReferenceCasesTest,
                         ::testing::ValuesIn(loadRangeCases(fixtureDir() + QStringLiteral("/expected/cases.tsv"))),
                         rangeCaseName);

}  // namespace
}  // namespace ostelvia::test
