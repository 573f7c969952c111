// SPDX-License-Identifier: GPL-3.0-or-later
// The headless command over damaged databases and failing files: exit 2 and
// the reason on standard error naming the file, or exactly the sound run.
#include <QDir>

#include <utility>

#include "ExportCommand.h"
#include "RunSetup.h"

namespace ostelvia::test {
namespace {

// Standard error holds the command's one line and nothing else: none of the
// reader's own warnings about the damage.
void expectOneLineNaming(const CommandResult& result, const QByteArray& named)
{
    EXPECT_TRUE(result.err.startsWith("ostelvia-export: ")) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(named)) << result.err.toStdString();
    EXPECT_EQ(result.err.count('\n'), 1) << result.err.toStdString();
}

TEST(HeadlessFailures, DamagedDatabasesExitTwoNamingTheFile)
{
    for (const QString& name : databaseNames()) {
        const QByteArray sound = fixtureBytes(name);
        const bool codeList = name == QLatin1String("PSWebAll.mdb");
        std::vector<Damaged> cases = wholeFileDamage(sound);
        // The row table of the first data page of the file's table; the
        // export opens the rooms table without reading a row of it.
        const int page = mainTableDataPages(sound).at(0);
        cases.push_back({QStringLiteral("row table of data page %1").arg(page), overwritten(sound, page, 12, 16),
                         name != QLatin1String("NumeriCamere.mdb")});
        for (const Damaged& damaged : cases) {
            SCOPED_TRACE((name + QStringLiteral(": ") + damaged.what).toStdString());
            ScratchDir scratch;
            scratch.replaceDatabaseBytes(name, damaged.bytes);
            const QString exportPath = scratch.filePath(QStringLiteral("out.txt"));
            scratch.writeSettings(exportPath);
            const CommandResult result =
                runCommand(scratch.path(), codeList ? QStringList{QStringLiteral("--code-list")} : kWideRange);
            ASSERT_EQ(result.status, QProcess::NormalExit);
            if (result.exitCode == 2) {
                expectOneLineNaming(result, quoted(name).toLocal8Bit());
                EXPECT_TRUE(result.out.isEmpty());
            } else {
                EXPECT_FALSE(damaged.alwaysReported) << result.out.toStdString();
                EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
                EXPECT_EQ(result.exitCode, 0);
                const QString written = codeList ? QStringLiteral("ListaPS.txt") : QStringLiteral("wide-range.out");
                EXPECT_EQ(readBytes(codeList ? scratch.filePath(written) : exportPath), expectedBytes(written));
            }
            EXPECT_TRUE(scratch.databasesUntouched());
        }
    }
}

TEST(HeadlessFailures, FailingFilesExitTwoWithOneLine)
{
    ScratchDir scratch;
    ASSERT_TRUE(QDir().mkdir(scratch.filePath(QStringLiteral(".out.txt.tmp"))));
    struct Case {
        QString exportPath;
        QByteArray named;
    };
    const Case cases[] = {
        {QStringLiteral("/dev/full"), "/dev/full"},
        {scratch.filePath(QStringLiteral("Comuni.mdb/out.txt")), "Comuni.mdb/out.txt"},
        {scratch.filePath(QStringLiteral("out.txt")), "out.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exportPath.toStdString());
        scratch.writeSettings(c.exportPath);
        const CommandResult result = runCommand(scratch.path(), kWideRange);
        ASSERT_EQ(result.status, QProcess::NormalExit);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
        expectOneLineNaming(result, c.named);
    }
    EXPECT_TRUE(scratch.databasesUntouched());
}

TEST(HeadlessFailures, KeptDamagedAndBrokenFilesGiveOnlyTheCommandsLine)
{
    const std::pair<const char*, QString> cases[] = {
        {"Scheda_Cliente.mdb", QStringLiteral(OSTELVIA_ROBUST_DATA "/fuzzed-Scheda_Cliente.mdb")},
        {"SchedaStoricoClienti.mdb",
         fixtureDir(QStringLiteral("broken/missing-history-table/SchedaStoricoClienti.mdb"))},
    };
    for (const auto& [name, file] : cases) {
        ScratchDir scratch;
        scratch.replaceDatabaseBytes(QLatin1String(name), readBytes(file));
        scratch.writeSettings(scratch.filePath(QStringLiteral("out.txt")));
        const CommandResult result = runCommand(scratch.path(), kWideRange);
        EXPECT_EQ(result.exitCode, 2) << file.toStdString();
        expectOneLineNaming(result, quoted(QLatin1String(name)).toLocal8Bit());
    }
}

}  // namespace
}  // namespace ostelvia::test
