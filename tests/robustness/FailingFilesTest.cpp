// SPDX-License-Identifier: GPL-3.0-or-later
// Files the tool writes or reads besides the databases, failing: the export
// path missing, a folder, under a regular file or on a full disk; the
// settings file unusable; the scratch file not writable. A plain message that
// names the file, "Fine" as the run's status, and never a completed run.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "export/CodeList.h"
#include "export/PrivateFiles.h"
#include "export/TextFiles.h"
#include "RunSetup.h"

namespace ostelvia::test {
namespace {

using exporter::RunSummary;

class FailingFile : public ::testing::Test, protected ExportSetup {
protected:
    void TearDown() override { EXPECT_TRUE(scratch.databasesUntouched()); }
};

TEST_F(FailingFile, ExportPathThatCannotBeWritten)
{
    const QString folder = scratch.filePath(QStringLiteral("cartella"));
    ASSERT_TRUE(QDir().mkdir(folder));
    // Root ignores permissions: a path under a regular file fails for anyone.
    for (const QString& path :
         {scratch.filePath(QStringLiteral("manca/ZaverUdevu.txt")), folder,
          scratch.filePath(QStringLiteral("Comuni.mdb/ZaverUdevu.txt")), QStringLiteral("/dev/full")}) {
        SCOPED_TRACE(path.toStdString());
        runs = RunLog();
        scratch.writeSettings(path, QStringLiteral("true"));
        expectFailureNaming(run(), path);
        EXPECT_FALSE(QFileInfo(path).isFile());
        // Nothing left behind in the scratch file either.
        EXPECT_FALSE(QFile::exists(scratch.filePath(exporter::kFileAppoggio)));
    }
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST_F(FailingFile, FileAsideNotWritableLeavesTheExportAsItWas)
{
    writeBytes(exportPath, "previous send");
    ASSERT_TRUE(QDir().mkdir(exporter::stagingPath(exportPath)));
    expectFailureNaming(run(), exportPath);
    EXPECT_EQ(readBytes(exportPath), QByteArray("previous send"));
}

TEST_F(FailingFile, SettingsFileUnusable)
{
    const QString settings = scratch.filePath(exporter::kFileImpostazioni);
    QByteArray binary;
    for (int i = 0; i < 512; ++i)
        binary.append(static_cast<char>(i % 2 ? 0 : 0x80 + i % 64));
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"only a line end", QByteArray("\r\n")},
        {"binary with NUL bytes", binary},
        {"a first line of 100 KB", QByteArray(100 * 1024, 'x') + "\r\ntrue\r\n"},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        runs = RunLog();
        writeBytes(settings, bytes);
        EXPECT_EQ(run().outcome, RunSummary::Outcome::Failed);
        EXPECT_EQ(runs.messages.size(), 1);
        EXPECT_EQ(exporter::MessaggioErrore, exporter::kFine);
        // No stray file named after the garbage in the working folder.
        EXPECT_EQ(QDir(scratch.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(),
                  static_cast<qsizetype>(databaseNames().size()) + 1);
    }
    // A folder in its place is no settings file, and is told as a folder
    // rather than as a missing file.
    ASSERT_TRUE(QFile::remove(settings));
    ASSERT_TRUE(QDir().mkdir(settings));
    runs = RunLog();
    const RunSummary summary = run();
    EXPECT_EQ(summary.outcome, RunSummary::Outcome::Failed);
    EXPECT_EQ(runs.settingsWarnings, 0);
    EXPECT_TRUE(summary.message.contains(QStringLiteral("è una cartella"))) << summary.message.toStdString();
}

TEST_F(FailingFile, CodeListNotWritable)
{
    ASSERT_TRUE(QDir().mkdir(scratch.filePath(exporter::kFileListaPS)));
    try {
        exporter::ScriviListaPS();
        ADD_FAILURE() << "code list reported as written";
    } catch (const exporter::FileError& error) {
        EXPECT_TRUE(error.message().contains(exporter::kFileListaPS)) << error.message().toStdString();
    }
}

}  // namespace
}  // namespace ostelvia::test
