// SPDX-License-Identifier: GPL-3.0-or-later
// The headless command's own contract: arguments, exit codes and where each
// kind of message goes.
#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "ExportCommand.h"
#include "TestSupport.h"
#include "text/Cp1252.h"

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

// The command runs unattended: a range it cannot mean, or an option given
// twice, is refused in every mode before anything is read or written, on one
// line that names the option.
TEST(HeadlessCommand, RefusesArgumentsItCannotMean)
{
    ScratchDir scratch;
    const QString exportPath = scratch.filePath(QStringLiteral("out.txt"));
    scratch.writeSettings(exportPath);
    writeBytes(exportPath, "previous send");
    struct Case {
        QStringList arguments;
        QByteArray option;  // the start of the line on standard error
    };
    const auto range = [](const char* from, const char* to) {
        return QStringList{QStringLiteral("--from"), QString::fromLatin1(from), QStringLiteral("--to"),
                           QString::fromLatin1(to)};
    };
    const QStringList twice{QStringLiteral("--room-from"), QStringLiteral("1"), QStringLiteral("--room-from"),
                            QStringLiteral("2")};
    const Case cases[] = {
        {range("31/04/2024", "30/05/2024"), "--from: il 31/04/2024 non esiste"},
        {range("1/1/2024", "02/01/2024"), "--from: \"1/1/2024\" non è una data"},
        {range("29/02/2023", "01/03/2023"), "--from: il 29/02/2023 non esiste"},
        {range("00/00/0000", "01/01/2024"), "--from: l'anno 0000"},
        {range("01/01/2024", "garbage"), "--to: \"garbage\" non è una data"},
        {range("02/01/2024", "01/01/2024"), "--to: il 01/01/2024 è precedente alla prima data (02/01/2024)"},
        {kWideRange + twice, "l'opzione --room-from è data più di una volta"},
        {kWideRange + QStringList{QStringLiteral("--to"), QStringLiteral("30/04/2024")}, "l'opzione --to è data più"},
    };
    for (const QStringList& mode :
         {QStringList{}, QStringList{QStringLiteral("--check")}, QStringList{QStringLiteral("--rendiconto")}}) {
        for (const Case& c : cases) {
            SCOPED_TRACE((mode + c.arguments).join(QLatin1Char(' ')).toStdString());
            const CommandResult result = runCommand(scratch.path(), mode + c.arguments);
            EXPECT_EQ(result.exitCode, 2);
            EXPECT_TRUE(result.out.isEmpty());
            EXPECT_EQ(result.err.count('\n'), 1) << result.err.toStdString();
            EXPECT_TRUE(result.err.startsWith("ostelvia-export: " + c.option)) << result.err.toStdString();
        }
    }
    EXPECT_EQ(readBytes(exportPath), QByteArray("previous send"));
    EXPECT_FALSE(QFileInfo::exists(scratch.filePath(QStringLiteral(".out.txt.tmp"))));
}

// Text for the terminal is in the locale's encoding (UTF-8 here) with LF
// line ends, and no control character reaches it, C1 included: "›" is the
// byte 0x9B in Windows-1252, a command to some terminals. The export path
// is read from a Windows-1252 settings file and from a UTF-8 one with its
// byte-order mark, which is no part of the path.
TEST(HeadlessCommand, TerminalGetsUtf8WithoutControlCharacters)
{
    ScratchDir scratch;
#ifdef Q_OS_WIN
    // Windows takes no control character in a file's name.
    const QString controls;
#else
    const QString controls = QStringLiteral("\u009B\u0001\u001B");
#endif
    const QString name = QStringLiteral("più›%1[2J.txt").arg(controls);
    const QString exportPath = scratch.filePath(name);
    const QByteArray settings[] = {
        text::toCp1252(QStringLiteral("%1\r\ntrue\r\n")
                           .arg(scratch.filePath(QStringLiteral("più›%1[2J.txt").arg(controls.mid(1))))),
        "\xEF\xBB\xBF" + QStringLiteral("%1\r\ntrue\r\n").arg(exportPath).toUtf8(),
    };
    for (const QByteArray& setup : settings) {
        writeBytes(scratch.filePath(QStringLiteral("TaxSetup.txt")), setup);
        const CommandResult result = runCommand(scratch.path(), kWideRange);
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        const QString shown = terminalOutput(result);
        EXPECT_TRUE(shown.contains(QStringLiteral("più›"))) << result.out.toStdString();
        EXPECT_TRUE(shown.endsWith(QStringLiteral("[2J.txt\n"))) << result.out.toStdString();
        for (qsizetype i = 0; i < result.out.size(); ++i) {
            const auto byte = static_cast<unsigned char>(result.out.at(i));
            EXPECT_TRUE(byte >= 0x20 || byte == '\n') << "control byte at " << i;
            EXPECT_NE(byte, 0x9B);
            const bool c1 =
                byte == 0xC2 && i + 1 < result.out.size() && static_cast<unsigned char>(result.out.at(i + 1)) <= 0x9F;
            EXPECT_FALSE(c1) << "C1 character at " << i;
        }
    }
    // The file itself went where the path says, the mark not in its name.
    EXPECT_TRUE(QFileInfo::exists(exportPath));
    EXPECT_FALSE(QFileInfo::exists(scratch.filePath(QStringLiteral("ï»¿") + name)));
}

// A NUL in the export path is refused in the tool's own words only.
TEST(HeadlessCommand, NulInTheExportPathIsOneLineInItalian)
{
    ScratchDir scratch;
    for (const QByteArray& path :
         {QByteArray("out\0x.txt", 9), scratch.path().toLocal8Bit() + QByteArray("/o\0x.txt", 8)}) {
        writeBytes(scratch.filePath(QStringLiteral("TaxSetup.txt")), path + "\r\ntrue\r\n");
        const CommandResult result = runCommand(scratch.path(), kWideRange);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.err.count('\n'), 1) << result.err.toStdString();
        EXPECT_TRUE(result.err.startsWith("ostelvia-export: Impossibile scrivere il file")) << result.err.toStdString();
    }
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
        {gone, 2, "La cartella \"" + QDir::toNativeSeparators(gone).toUtf8() + "\" non esiste."},
        {aFile, 2, "\"" + QDir::toNativeSeparators(aFile).toUtf8() + "\" non è una cartella."},
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
