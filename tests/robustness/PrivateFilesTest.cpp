// SPDX-License-Identifier: GPL-3.0-or-later
// Guests' data in the files the tool writes: owner-only whatever the umask,
// never written through a link or into a device, FIFO or folder, and after a
// failed write no piece of it anywhere and the export file as it was.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "export/CheckOutput.h"
#include "export/CodeList.h"
#include "export/PrivateFiles.h"
#include "export/TaxRules.h"
#include "export/TextFiles.h"
#include "ExportCommand.h"
#include "RunSetup.h"

namespace ostelvia::test {
namespace {

using exporter::RunSummary;

unsigned modeOf(const QString& path)
{
    struct stat info { };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0xFFFF;
}

// Everything in the folder besides the databases, hidden files included.
QStringList othersIn(const QString& folder)
{
    QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& database : databaseNames())
        names.removeAll(database);
    return names;
}

class PrivateFiles : public ::testing::Test, protected ExportSetup {
protected:
    void SetUp() override { umaskBefore = ::umask(022); }
    void TearDown() override
    {
        ::umask(umaskBefore);
        EXPECT_TRUE(scratch.databasesUntouched());
    }
    mode_t umaskBefore = 0;
};

TEST_F(PrivateFiles, EveryFileWrittenIsOwnerOnlyAndAnExportFileKeepsItsMode)
{
    ASSERT_EQ(run().outcome, RunSummary::Outcome::Completed);
    EXPECT_EQ(readBytes(exportPath), expectedBytes(QStringLiteral("wide-range.out")));
    EXPECT_EQ(modeOf(exportPath), 0600u);

    exporter::ScriviListaPS();
    exporter::writeText(exporter::kFileImpostazioni, exportPath + QStringLiteral("\r\ntrue\r\n"));
    const QString csv = scratch.filePath(QStringLiteral("controllo.csv"));
    exporter::writeCheckCsv(csv, exporter::CheckReport{});
    for (const QString& name : {exporter::kFileListaPS, exporter::kFileImpostazioni, QStringLiteral("controllo.csv")})
        EXPECT_EQ(modeOf(scratch.filePath(name)), 0600u) << name.toStdString();

    // Chosen by whoever set up the reception: kept by every later run.
    ASSERT_EQ(::chmod(QFile::encodeName(exportPath).constData(), 0640), 0);
    ASSERT_EQ(run().outcome, RunSummary::Outcome::Completed);
    EXPECT_EQ(modeOf(exportPath), 0640u);
    EXPECT_EQ(othersIn(scratch.path()),
              (QStringList{QStringLiteral("ListaPS.txt"), QStringLiteral("TaxSetup.txt"),
                           QStringLiteral("ZaverUdevu.txt"), QStringLiteral("controllo.csv")}));
}

TEST_F(PrivateFiles, LinksAreNeverWrittenThroughAndOddExportPathsAreRefused)
{
    const QString victim = scratch.filePath(QStringLiteral("victim"));
    writeBytes(victim, "untouched");
    // Links where the old scratch file, the code list and the export's file
    // aside go, and one to a file that does not exist yet.
    const QString missing = scratch.filePath(QStringLiteral("created-through-link"));
    ASSERT_TRUE(QFile::link(victim, scratch.filePath(exporter::kFileAppoggio)));
    ASSERT_TRUE(QFile::link(victim, scratch.filePath(exporter::kFileListaPS)));
    ASSERT_TRUE(QFile::link(missing, exporter::stagingPath(exportPath)));
    ASSERT_EQ(run().outcome, RunSummary::Outcome::Completed);
    // The code list names its link rather than write where it points.
    try {
        exporter::ScriviListaPS();
        ADD_FAILURE() << "code list written through a link";
    } catch (const exporter::FileError& error) {
        EXPECT_TRUE(error.message().contains(quoted(exporter::kFileListaPS))) << error.message().toStdString();
    }
    EXPECT_EQ(readBytes(victim), QByteArray("untouched"));
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_EQ(readBytes(exportPath), expectedBytes(QStringLiteral("wide-range.out")));

    // Export paths that are no regular file: refused at once, a FIFO without
    // waiting for a reader, and nothing written anywhere.
    const QString fifo = scratch.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString link = scratch.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(victim, link));
    const QString folder = scratch.filePath(QStringLiteral("folder"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QStringList before = othersIn(scratch.path());
    for (const QString& path : {QStringLiteral("/dev/null"), fifo, link, folder}) {
        SCOPED_TRACE(path.toStdString());
        runs = RunLog();
        scratch.writeSettings(path, QStringLiteral("true"));
        expectFailureNaming(run(), path);
        EXPECT_EQ(othersIn(scratch.path()), before);
    }
    EXPECT_EQ(readBytes(victim), QByteArray("untouched"));
}

// The headless command under a file-size limit, which fails its writes as a
// full disk would, at a point of the file the test chooses.
CommandResult runLimited(const QString& folder, qint64 bytes)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setChildProcessModifier([bytes] {
        const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
        ::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    process.start(QStringLiteral(OSTELVIA_EXPORT_COMMAND), kWideRange);
    if (!process.waitForFinished(60000))
        return {-1, QProcess::CrashExit, {}, "timed out"};
    return {process.exitCode(), process.exitStatus(), process.readAllStandardOutput(), process.readAllStandardError()};
}

TEST_F(PrivateFiles, AFailedWriteLeavesTheExportAsItWasAndNothingAside)
{
    const QByteArray expected = expectedBytes(QStringLiteral("wide-range.out"));
    // Failing after the header, in the middle, and on the last bytes.
    for (const qint64 limit : {qint64(100), expected.size() / 2, expected.size() - 1}) {
        SCOPED_TRACE(limit);
        for (const bool existed : {true, false}) {
            if (existed)
                writeBytes(exportPath, "previous send");
            else
                QFile::remove(exportPath);
            const CommandResult result = runLimited(scratch.path(), limit);
            ASSERT_EQ(result.status, QProcess::NormalExit);
            EXPECT_EQ(result.exitCode, 2);
            EXPECT_TRUE(result.out.isEmpty());
            EXPECT_EQ(result.err.count('\n'), 1) << result.err.toStdString();
            EXPECT_TRUE(result.err.contains(exportPath.toLocal8Bit())) << result.err.toStdString();
            EXPECT_TRUE(result.err.contains("dimensione massima")) << result.err.toStdString();
            if (existed)
                EXPECT_EQ(readBytes(exportPath), QByteArray("previous send"));
            else
                EXPECT_FALSE(QFileInfo::exists(exportPath));
            const QStringList left = existed
                ? QStringList{QStringLiteral("TaxSetup.txt"), QStringLiteral("ZaverUdevu.txt")}
                : QStringList{QStringLiteral("TaxSetup.txt")};
            EXPECT_EQ(othersIn(scratch.path()), left);
        }
    }
    // What a killed run left (its file aside, or an earlier version's scratch
    // file with every record) goes at the next run.
    writeBytes(exporter::stagingPath(exportPath), expected.left(5000));
    writeBytes(scratch.filePath(exporter::kFileAppoggio), expected);
    const CommandResult result = runCommand(scratch.path(), kWideRange);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(readBytes(exportPath), expected);
    EXPECT_EQ(othersIn(scratch.path()),
              (QStringList{QStringLiteral("TaxSetup.txt"), QStringLiteral("ZaverUdevu.txt")}));
}

// Another account's files where the export goes: its export file is not
// taken over with the mode it gave it (here readable by everyone), and a
// hidden file aside that cannot be removed is named, not the export file.
TEST_F(PrivateFiles, AnotherAccountsFilesAreRefusedByName)
{
    const QString aside = exporter::stagingPath(exportPath);
    ASSERT_TRUE(QDir().mkdir(aside));
    RunSummary summary = run();
    ASSERT_EQ(summary.outcome, RunSummary::Outcome::Failed);
    EXPECT_TRUE(summary.message.contains(quoted(QFileInfo(aside).fileName()))) << summary.message.toStdString();
    ASSERT_TRUE(QDir().rmdir(aside));

    if (::geteuid() != 0)
        GTEST_SKIP() << "a file of another account needs root to be made";
    writeBytes(exportPath, "their file");
    const QByteArray name = QFile::encodeName(exportPath);
    ASSERT_EQ(::chmod(name.constData(), 0666), 0);
    ASSERT_EQ(::chown(name.constData(), 65534, 65534), 0);
    const QStringList before = othersIn(scratch.path());
    summary = run();
    ASSERT_EQ(summary.outcome, RunSummary::Outcome::Failed);
    EXPECT_TRUE(summary.message.contains(quoted(exportPath))) << summary.message.toStdString();
    EXPECT_TRUE(summary.message.contains(QStringLiteral("appartiene a un altro utente")))
        << summary.message.toStdString();
    EXPECT_EQ(readBytes(exportPath), QByteArray("their file"));
    EXPECT_EQ(modeOf(exportPath), 0666u);
    EXPECT_EQ(othersIn(scratch.path()), before);
}

// A FIFO named as one of the front office's databases would hold a reader
// for ever: the headless command refuses it at once, in one line, and writes
// nothing.
TEST_F(PrivateFiles, AFifoAtADatabasesNameIsRefusedWithoutWaiting)
{
    for (const QString& name :
         {QStringLiteral("Scheda_Cliente.mdb"), QStringLiteral("SchedaStoricoClienti.mdb"),
          QStringLiteral("Comuni.mdb"), QStringLiteral("NumeriCamere.mdb"), QStringLiteral("PSWebAll.mdb")}) {
        SCOPED_TRACE(name.toStdString());
        const QString path = scratch.filePath(name);
        const QByteArray kept = readBytes(path);
        ASSERT_TRUE(QFile::remove(path));
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        const QStringList arguments =
            name == QLatin1String("PSWebAll.mdb") ? QStringList{QStringLiteral("--code-list")} : kWideRange;
        const CommandResult result = runCommand(scratch.path(), arguments);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(QString::fromUtf8(result.err),
                  QStringLiteral("ostelvia-export: Impossibile aprire il database \"%1\": è una coda (FIFO), non un "
                                 "file.\n")
                      .arg(name));
        EXPECT_FALSE(QFileInfo::exists(exportPath));
        ASSERT_TRUE(QFile::remove(path));
        writeBytes(path, kept);
    }
}

// The tool's own text files read as what stands there: a FIFO or a folder
// is told as such, not taken for a missing file.
TEST_F(PrivateFiles, SettingsFilesThatAreNoFileAreNamedAsWhatTheyAre)
{
    const QString fifo = scratch.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = scratch.filePath(QStringLiteral("folder"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const struct {
        QString made;
        const char* reason;
    } kinds[] = {{fifo, "coda (FIFO)"}, {folder, "è una cartella"}};
    for (const QString& file : {exporter::kFileImpostazioni, exporter::kFileRegoleImposta}) {
        for (const auto& kind : kinds) {
            SCOPED_TRACE(file.toStdString() + " " + kind.reason);
            const QString path = scratch.filePath(file);
            QFile::remove(path);
            ASSERT_TRUE(QFile::rename(kind.made, path));
            QString message;
            if (file == exporter::kFileImpostazioni) {
                const RunSummary summary = run();
                EXPECT_EQ(summary.outcome, RunSummary::Outcome::Failed);
                message = summary.message;
            } else {
                try {
                    exporter::readTaxRules();
                } catch (const Error& error) {
                    message = error.message();
                }
            }
            EXPECT_TRUE(message.contains(quoted(file))) << message.toStdString();
            EXPECT_TRUE(message.contains(QString::fromUtf8(kind.reason))) << message.toStdString();
            ASSERT_TRUE(QFile::rename(path, kind.made));
        }
    }
}

}  // namespace
}  // namespace ostelvia::test
