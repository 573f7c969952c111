// The headless command's own contract: arguments, exit codes and where each
// kind of message goes.
#include <gtest/gtest.h>


#include "ExportCommand.h"
#include "TestSupport.h"

namespace ostelvia::test {
namespace {

TEST(HeadlessCommand, CompletedRunPrintsCountAndPath)
{
    ScratchDir scratch;
    const QString exportPath = scratch.filePath(QStringLiteral("out.txt"));
    scratch.writeSettings(exportPath);
    const CommandResult result = runCommand(scratch.path(), kWideRange);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, QByteArray("56 schede esportate in ") + exportPath.toLocal8Bit() + "\n");
    EXPECT_TRUE(result.err.isEmpty());
}

TEST(HeadlessCommand, ArgumentErrorsAndHelp)
{
    ScratchDir scratch;
    scratch.writeSettings(scratch.filePath(QStringLiteral("out.txt")));
    EXPECT_EQ(runCommand(scratch.path(), {}).exitCode, 2);
    EXPECT_EQ(runCommand(scratch.path(), {QStringLiteral("--from"), QStringLiteral("01/01/2024")}).exitCode, 2);
    EXPECT_EQ(runCommand(scratch.path(), {QStringLiteral("--bogus")}).exitCode, 2);
    const CommandResult help = runCommand(scratch.path(), {QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--room-from"));
    EXPECT_FALSE(QFile::exists(scratch.filePath(QStringLiteral("out.txt"))));
}

TEST(HeadlessCommand, MissingSettingsFileIsAFailureThatWritesNothing)
{
    ScratchDir scratch;
    const CommandResult result = runCommand(scratch.path(), kWideRange);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains("TaxSetup.txt"));
    EXPECT_TRUE(result.out.isEmpty());
}

TEST(HeadlessCommand, DatabaseFailureNamesFileAndTableOnStandardError)
{
    ScratchDir scratch;
    scratch.replaceDatabase(QStringLiteral("broken/missing-history-table/SchedaStoricoClienti.mdb"));
    const QString exportPath = scratch.filePath(QStringLiteral("out.txt"));
    scratch.writeSettings(exportPath);
    const CommandResult result = runCommand(scratch.path(), kWideRange);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains("SchedaStoricoClienti.mdb")) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("Scheda_Cliente")) << result.err.toStdString();
    EXPECT_TRUE(result.out.isEmpty());
    // The current guests were written before the history pass failed; the
    // file is left as it stood, each line ended, not passed off as complete.
    EXPECT_TRUE(readBytes(exportPath).endsWith("\r\n"));
    EXPECT_TRUE(scratch.databasesUntouched());
}

TEST(HeadlessCommand, CodeListMatchesTheReference)
{
    ScratchDir scratch;
    const CommandResult result = runCommand(scratch.path(), {QStringLiteral("--code-list")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(readBytes(scratch.filePath(QStringLiteral("ListaPS.txt"))),
              readBytes(fixtureDir() + QStringLiteral("/expected/ListaPS.txt")));
    EXPECT_TRUE(scratch.databasesUntouched());
}

TEST(HeadlessCommand, CodeListWithoutReferenceTableFails)
{
    ScratchDir scratch;
    scratch.replaceDatabase(QStringLiteral("broken/missing-reference-table/PSWebAll.mdb"));
    const CommandResult result = runCommand(scratch.path(), {QStringLiteral("--code-list")});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains("PSWebAll.mdb"));
    EXPECT_TRUE(result.err.contains("Comuni"));
}

}  // namespace
}  // namespace ostelvia::test
