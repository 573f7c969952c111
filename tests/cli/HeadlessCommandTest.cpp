// SPDX-License-Identifier: GPL-3.0-or-later
// The headless command's own contract: arguments, exit codes and where each
// kind of message goes.
#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

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

// --dir: the command works in the given folder wherever it is started from.
TEST(HeadlessCommand, FolderOption)
{
    ScratchDir front;
    const QString exportPath = front.filePath(QStringLiteral("out.txt"));
    front.writeSettings(exportPath);
    QTemporaryDir elsewhere;
    const QString aFile = front.filePath(QStringLiteral("TaxSetup.txt"));
    const QString gone = front.filePath(QStringLiteral("manca"));
    struct Case {
        QString folder;
        int exitCode;
        QByteArray message;  // on standard error
    };
    const Case cases[] = {
        {front.path(), 0, {}},
        {gone, 2, "La cartella \"" + gone.toLocal8Bit() + "\" non esiste."},
        {aFile, 2, "\"" + aFile.toLocal8Bit() + "\" non è una cartella."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        QFile::remove(exportPath);
        const CommandResult result =
            runCommand(elsewhere.path(), QStringList{QStringLiteral("--dir"), c.folder} + kWideRange);
        EXPECT_EQ(result.exitCode, c.exitCode);
        if (c.exitCode == 0) {
            EXPECT_EQ(readBytes(exportPath), readBytes(fixtureDir() + QStringLiteral("/expected/wide-range.out")));
            EXPECT_TRUE(result.err.isEmpty());
        } else {
            EXPECT_EQ(result.err, "ostelvia-export: " + c.message + "\n");
            EXPECT_FALSE(QFile::exists(exportPath));
        }
    }
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());
    EXPECT_TRUE(front.databasesUntouched());
}

TEST(HeadlessCommand, VersionNeedsNoFolder)
{
    QTemporaryDir empty;
    const CommandResult result = runCommand(empty.path(), {QStringLiteral("--version")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^ostelvia-export \\d+\\.\\d+(\\.\\d+)?\n$"))
                    .match(QString::fromLocal8Bit(result.out))
                    .hasMatch())
        << result.out.toStdString();
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
    writeBytes(exportPath, "previous send");
    scratch.writeSettings(exportPath);
    const CommandResult result = runCommand(scratch.path(), kWideRange);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains("SchedaStoricoClienti.mdb")) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("Scheda_Cliente")) << result.err.toStdString();
    EXPECT_TRUE(result.out.isEmpty());
    // The current guests were written before the history pass failed, but
    // only aside: the export file is the one from before, nothing is left.
    EXPECT_EQ(readBytes(exportPath), QByteArray("previous send"));
    EXPECT_FALSE(QFileInfo::exists(scratch.filePath(QStringLiteral(".out.txt.tmp"))));
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
