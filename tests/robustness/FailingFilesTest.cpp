// Files the tool writes or reads besides the databases, failing: the export
// path missing, a folder, under a regular file or on a full disk; the
// settings file unusable; the scratch file not writable. A plain message that
// names the file, "Fine" as the run's status, and never a completed run.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "RobustSupport.h"
#include "TestSupport.h"
#include "export/CodeList.h"
#include "export/ExportRun.h"
#include "export/TextFiles.h"

namespace ostelvia::test {
namespace {

using exporter::RunSummary;

class FailingFile : public ::testing::Test {
protected:
    void SetUp() override { exporter::MessaggioErrore.clear(); }
    void TearDown() override { EXPECT_TRUE(scratch.databasesUntouched()); }

    RunSummary run()
    {
        return exporter::CreaFileTassa(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024"), rooms, reporter);
    }

    // The run failed with one message in the error dialog naming `name`.
    void expectFailureNaming(const RunSummary& summary, const QString& name)
    {
        EXPECT_EQ(summary.outcome, RunSummary::Outcome::Failed);
        ASSERT_EQ(reporter.messages.size(), 1);
        EXPECT_TRUE(reporter.messages.at(0).contains(name)) << reporter.messages.at(0).toStdString();
        EXPECT_EQ(reporter.titles.at(0), exporter::kTitoloErrore);
        EXPECT_EQ(reporter.styles.at(0), exporter::kStileErrore);
        EXPECT_EQ(exporter::MessaggioErrore, exporter::kFine);
    }

    ScratchDir scratch;
    FixedRooms rooms;
    RecordingReporter reporter;
};

TEST_F(FailingFile, ExportPathThatCannotBeCreated)
{
    const QString missingFolder = scratch.filePath(QStringLiteral("manca/ZaverUdevu.txt"));
    const QString folder = scratch.filePath(QStringLiteral("cartella"));
    ASSERT_TRUE(QDir().mkdir(folder));
    // Root ignores permissions: a path under a regular file fails for anyone.
    const QString underFile = scratch.filePath(QStringLiteral("Comuni.mdb/ZaverUdevu.txt"));
    for (const QString& path : {missingFolder, folder, underFile}) {
        SCOPED_TRACE(path.toStdString());
        reporter = RecordingReporter();
        scratch.writeSettings(path, QStringLiteral("true"));
        expectFailureNaming(run(), path);
        EXPECT_FALSE(QFileInfo(path).isFile());
    }
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST_F(FailingFile, FullDiskIsAFailureNotACompletedRun)
{
    scratch.writeSettings(QStringLiteral("/dev/full"), QStringLiteral("true"));
    const RunSummary summary = run();
    expectFailureNaming(summary, QStringLiteral("/dev/full"));
    // Nothing was left behind in the scratch file either.
    EXPECT_FALSE(QFile::exists(scratch.filePath(exporter::kFileAppoggio)));
}

TEST_F(FailingFile, ScratchFileNotWritableLeavesEveryLineInTheExport)
{
    const QString exportPath = scratch.filePath(QStringLiteral("ZaverUdevu.txt"));
    scratch.writeSettings(exportPath, QStringLiteral("true"));
    ASSERT_TRUE(QDir().mkdir(scratch.filePath(exporter::kFileAppoggio)));
    expectFailureNaming(run(), exporter::kFileAppoggio);
    // The records are all there, only the final line end was not removed.
    EXPECT_EQ(readBytes(exportPath), expectedBytes(QStringLiteral("wide-range.out")) + "\r\n");
}

TEST_F(FailingFile, SettingsFileUnusable)
{
    const QString settings = scratch.filePath(exporter::kFileImpostazioni);
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    QByteArray binary;
    for (int i = 0; i < 512; ++i)
        binary.append(static_cast<char>(i % 2 ? 0 : 0x80 + i % 64));
    const Case cases[] = {
        {"empty", QByteArray()},
        {"only a line end", QByteArray("\r\n")},
        {"binary with NUL bytes", binary},
        {"a first line of 100 KB", QByteArray(100 * 1024, 'x') + "\r\ntrue\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reporter = RecordingReporter();
        writeBytes(settings, c.bytes);
        const RunSummary summary = run();
        EXPECT_EQ(summary.outcome, RunSummary::Outcome::Failed);
        ASSERT_EQ(reporter.messages.size(), 1);
        EXPECT_EQ(exporter::MessaggioErrore, exporter::kFine);
        // No stray file named after the garbage in the working folder.
        EXPECT_EQ(QDir(scratch.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(),
                  static_cast<qsizetype>(databaseNames().size()) + 1);
    }
    // A folder in its place is no settings file: the missing-settings warning.
    ASSERT_TRUE(QFile::remove(settings));
    ASSERT_TRUE(QDir().mkdir(settings));
    reporter = RecordingReporter();
    EXPECT_EQ(run().outcome, RunSummary::Outcome::SettingsMissing);
    EXPECT_EQ(reporter.settingsWarnings, 1);
    EXPECT_TRUE(reporter.messages.isEmpty());
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
