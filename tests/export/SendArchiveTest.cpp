// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/SendArchive.h"

#include "db/Run.h"

#include "export/TextFiles.h"
#include "RecordLines.h"
#include "TestSupport.h"
#include "text/Cp1252.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace ostelvia;
using namespace ostelvia::exporter;
using test::stayLine;
using text::fromCp1252;
using text::toCp1252;

namespace {

const QDateTime kMorning(QDate(2024, 9, 1), QTime(8, 15, 2));
const QString kHeader = QStringLiteral("TBPRES01      ");

QString rossi(int card, const QString& departure = QStringLiteral("20240416"))
{
    return stayLine(1, card, QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("20240413"), departure);
}

QByteArray sendBytes(const QStringList& records)
{
    return toCp1252((QStringList{kHeader} + records).join(kCrLf));
}

QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

}  // namespace

TEST(SendArchive, CopiesAreByteIdenticalAndNamedByTheSecond)
{
    QTemporaryDir dir;
    const QString exportPath = dir.filePath(QStringLiteral("ZaverUdevu.txt"));
    const QString folder = dir.filePath(kArchiveFolder);
    const QByteArray bytes = sendBytes({rossi(24000001), QStringLiteral("righe à è")});
    test::writeBytes(exportPath, bytes);

    const QString first = copyToArchive(folder, exportPath, kMorning);
    EXPECT_EQ(QFileInfo(first).fileName(), QStringLiteral("2024-09-01_08-15-02.txt"));
    EXPECT_EQ(test::readBytes(first), bytes);
    // Two more within the same second, one the next second.
    copyToArchive(folder, exportPath, kMorning);
    copyToArchive(folder, exportPath, kMorning);
    copyToArchive(folder, exportPath, kMorning.addSecs(1));
    EXPECT_EQ(namesIn(folder),
              (QStringList{"2024-09-01_08-15-02.txt", "2024-09-01_08-15-02_2.txt", "2024-09-01_08-15-02_3.txt",
                           "2024-09-01_08-15-03.txt"}));
    for (const QString& name : namesIn(folder))
        EXPECT_EQ(test::readBytes(QDir(folder).filePath(name)), bytes) << name.toStdString();

    // An empty send is kept too.
    test::writeBytes(exportPath, QByteArray());
    EXPECT_EQ(test::readBytes(copyToArchive(folder, exportPath, kMorning.addSecs(2))), QByteArray());
}

TEST(SendArchive, AFolderThatCannotBeWrittenFailsCleanly)
{
    QTemporaryDir dir;
    const QString exportPath = dir.filePath(QStringLiteral("ZaverUdevu.txt"));
    test::writeBytes(exportPath, sendBytes({rossi(1)}));
    // A file where the folder should be.
    const QString blocked = dir.filePath(kArchiveFolder);
    test::writeBytes(blocked, "not a folder");
    EXPECT_THROW(copyToArchive(blocked, exportPath, kMorning), FileError);
    EXPECT_EQ(test::readBytes(blocked), QByteArray("not a folder"));
    // A missing export file.
    EXPECT_THROW(
        copyToArchive(dir.filePath(QStringLiteral("other")), dir.filePath(QStringLiteral("none.txt")), kMorning),
        FileError);
}

TEST(SendArchive, DamagedOrForeignFilesAreSkippedWithANote)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(kArchiveFolder);
    QDir().mkpath(folder);
    const auto put = [&](const QString& name, const QByteArray& bytes) {
        test::writeBytes(QDir(folder).filePath(name), bytes);
    };
    put(QStringLiteral("2024-08-01_10-00-00.txt"), sendBytes({rossi(1), rossi(2)}));
    put(QStringLiteral("2024-08-02_10-00-00.txt"), sendBytes({rossi(3)}) + "\r\n");  // a run's line end
    put(QStringLiteral("2024-08-03_10-00-00.txt"), QByteArray());                    // an empty send
    put(QStringLiteral("2024-08-04_10-00-00.txt"), sendBytes({rossi(4), rossi(5).left(300)}));
    put(QStringLiteral("2024-08-05_10-00-00.txt"), toCp1252(rossi(6)));  // no header
    put(QStringLiteral("2024-08-06_10-00-00.txt"), QByteArray("\x00\xff\x13garbage", 10));
    put(QStringLiteral("appunti.docx"), QByteArray("PK\x03\x04"));
    QDir().mkpath(QDir(folder).filePath(QStringLiteral("sottocartella")));

    const SendArchive archive = SendArchive::read(folder);
    EXPECT_EQ(archive.files(), 4);
    EXPECT_EQ(archive.records(), 4);
    const QStringList& notes = archive.skipped();
    ASSERT_EQ(notes.size(), 3);
    EXPECT_TRUE(notes[0].startsWith(QStringLiteral("2024-08-04_10-00-00.txt: la riga 3 ")));
    EXPECT_TRUE(notes[1].startsWith(QStringLiteral("2024-08-06_10-00-00.txt: non inizia")));
    EXPECT_TRUE(notes[2].startsWith(QStringLiteral("appunti.docx: non è una copia")));
    // The copy without its header line still says its stay went out.
    const ExportLines six = ExportLines::fromTexts({kHeader, rossi(6)});
    const QVector<AlreadySent> again = findAlreadySent(archive, six, {1});
    ASSERT_EQ(again.size(), 1);
    EXPECT_EQ(again[0].earlierSend, QDateTime(QDate(2024, 8, 5), QTime(10, 0)));
    EXPECT_TRUE(again[0].identical);

    // A send past the old 32,767-line limit is a send like any other.
    QDir().mkpath(dir.filePath(QStringLiteral("large")));
    QByteArray large = sendBytes({rossi(1)});
    const QByteArray record = "\r\n" + toCp1252(rossi(2));
    for (int i = 0; i < 33000; ++i)
        large += record;
    test::writeBytes(dir.filePath(QStringLiteral("large/2024-08-07_10-00-00.txt")), large);
    EXPECT_EQ(SendArchive::read(dir.filePath(QStringLiteral("large"))).files(), 1);

    const SendArchive none = SendArchive::read(dir.filePath(QStringLiteral("missing")));
    EXPECT_EQ(none.files(), 0);
    EXPECT_TRUE(none.skipped().isEmpty());
}

TEST(SendArchive, SelectedRecordsAlreadySentAreFoundIdenticalOrChanged)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(kArchiveFolder);
    QDir().mkpath(folder);
    test::writeBytes(QDir(folder).filePath(QStringLiteral("2024-08-01_10-00-00.txt")),
                     sendBytes({rossi(1), rossi(2), rossi(3)}));
    // Card 3 was sent again with a later departure: the latest send counts.
    test::writeBytes(QDir(folder).filePath(QStringLiteral("2024-08-02_09-30-00_2.txt")),
                     sendBytes({rossi(3, QStringLiteral("20240420"))}));
    const SendArchive archive = SendArchive::read(folder);

    const QStringList texts{kHeader,
                            rossi(1),                              // identical
                            rossi(2, QStringLiteral("20240418")),  // same stay, other data
                            rossi(3, QStringLiteral("20240420")),  // identical to the second send
                            rossi(4),                              // new
                            rossi(1).left(20)};                    // not a record
    const ExportLines lines = ExportLines::fromTexts(texts);
    const QVector<AlreadySent> found = findAlreadySent(archive, lines, {0, 1, 2, 3, 4, 5});
    ASSERT_EQ(found.size(), 3);
    EXPECT_EQ(found[0].row, 1);
    EXPECT_TRUE(found[0].identical);
    EXPECT_EQ(found[0].earlierSend, QDateTime(QDate(2024, 8, 1), QTime(10, 0)));
    EXPECT_EQ(found[1].row, 2);
    EXPECT_FALSE(found[1].identical);
    EXPECT_EQ(found[2].row, 3);
    EXPECT_TRUE(found[2].identical);
    EXPECT_EQ(found[2].earlierSend, QDateTime(QDate(2024, 8, 2), QTime(9, 30)));
    // Only the selected rows are compared.
    EXPECT_EQ(findAlreadySent(archive, lines, {2, 4}).size(), 1);
}

TEST(SendArchive, TheQuestionListsTwentyAndCountsTheRest)
{
    const auto room = [](const QString&) { return QStringLiteral("102"); };
    EXPECT_EQ(alreadySentQuestion({}, {}, room), QString());

    QVector<AlreadySent> found;
    for (int i = 0; i < 23; ++i)
        found.append({i + 1, rossi(i), kMorning, i != 1});
    const QString text = alreadySentQuestion(found, {QStringLiteral("appunti.docx: non è una copia")}, room);
    const QStringList lines = text.split(kCrLf);
    EXPECT_EQ(lines.first(), QStringLiteral("23 delle righe selezionate sono già state inviate:"));
    EXPECT_EQ(lines.at(1),
              QStringLiteral("camera 102, ROSSI MARIO, arrivo 13/04/2024: inviata il 01/09/2024 08:15, identica"));
    EXPECT_TRUE(lines.at(2).endsWith(QStringLiteral("con dati cambiati (rettifica)")));
    EXPECT_EQ(lines.at(21), QStringLiteral("... e altre 3."));
    EXPECT_TRUE(text.contains(QStringLiteral("appunti.docx: non è una copia")));
    EXPECT_EQ(lines.last(), QStringLiteral("Inviare comunque?"));

    // Skipped files alone are still worth a question: the check was partial.
    EXPECT_TRUE(alreadySentQuestion({}, {QStringLiteral("x")}, room).endsWith(QStringLiteral("Inviare comunque?")));
}

TEST(SendArchive, TheRoomComesFromTheGuestDatabases)
{
    test::ScratchDir dir;
    const QStringList lines =
        fromCp1252(test::readBytes(test::fixtureDir() + QStringLiteral("/expected/wide-range.out")))
            .split(QStringLiteral("\r\n"));
    // The first record of the wide range is SANTORO LUIGI's card, room 1005.
    db::Run run;
    EXPECT_EQ(roomOfRecord(run, lines.at(1)), QStringLiteral("1005"));
    EXPECT_EQ(roomOfRecord(run, rossi(99999)), QStringLiteral("?"));
    QFile::remove(dir.filePath(QStringLiteral("Scheda_Cliente.mdb")));
    QFile::remove(dir.filePath(QStringLiteral("SchedaStoricoClienti.mdb")));
    db::Run next;
    EXPECT_EQ(roomOfRecord(next, lines.at(1)), QStringLiteral("?"));
}

// Modes, FIFOs, owners and symbolic links as POSIX has them; the Windows side
// of the same promises is tested with the platform layer.
#ifndef Q_OS_WIN
TEST(SendArchive, ExpiredCopiesGoByTheTimeInTheirNamesAndNothingElse)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(kArchiveFolder);
    QDir().mkpath(folder);
    const QDateTime now(QDate(2024, 9, 1), QTime(8, 15, 2));
    // 60 months before now is 2019-09-01 08:15:02.
    const QStringList expired{QStringLiteral("2019-09-01_08-15-01.txt"), QStringLiteral("2019-09-01_08-15-01_2.txt"),
                              QStringLiteral("2012-01-31_23-59-59.txt")};
    const QStringList kept{QStringLiteral("2019-09-01_08-15-02.txt"), QStringLiteral("2019-09-02_00-00-00.txt"),
                           QStringLiteral("2024-09-01_08-15-02.txt"), QStringLiteral("appunti-2010.txt")};
    for (const QString& name : expired + kept)
        test::writeBytes(QDir(folder).filePath(name), sendBytes({rossi(1)}));
    // A folder named like an old copy is no copy.
    QDir().mkpath(QDir(folder).filePath(QStringLiteral("2010-01-01_00-00-00.txt")));
    // Neither a link nor a FIFO named like one is a copy: both stay, uncounted.
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere.txt"));
    test::writeBytes(elsewhere, "keep me");
    const QString link = QStringLiteral("2011-05-05_05-05-05.txt");
    ASSERT_TRUE(QFile::link(elsewhere, QDir(folder).filePath(link)));
    const QString fifo = QDir(folder).filePath(QStringLiteral("2011-06-06_06-06-06.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // A file the send found to be no copy of one is spared.
    const QString foreign = QStringLiteral("2010-02-02_00-00-00.txt");
    test::writeBytes(QDir(folder).filePath(foreign), "appunti");

    EXPECT_EQ(removeExpiredCopies(folder, 0, now), 0);
    EXPECT_EQ(namesIn(folder).size(), 9);
    EXPECT_EQ(removeExpiredCopies(folder, kMesiConservazionePredefiniti, now, {foreign}), 3);
    EXPECT_EQ(namesIn(folder), (QStringList{foreign, link} + kept));
    EXPECT_TRUE(QFileInfo(QDir(folder).filePath(QStringLiteral("2010-01-01_00-00-00.txt"))).isDir());
    EXPECT_TRUE(QFileInfo(fifo).exists());
    EXPECT_EQ(test::readBytes(elsewhere), QByteArray("keep me"));
    // A month: only the copies before 1 August go.
    EXPECT_EQ(removeExpiredCopies(folder, 1, now, {foreign}), 2);
    EXPECT_EQ(
        namesIn(folder),
        (QStringList{foreign, link, QStringLiteral("2024-09-01_08-15-02.txt"), QStringLiteral("appunti-2010.txt")}));
}

// Pruning reaches only the user's own archive folder: through a link the
// "old copies" are another folder's files, and a folder another account
// owns holds files the user never archived.
TEST(SendArchive, ExpiredCopiesGoOnlyFromTheUsersOwnFolder)
{
    QTemporaryDir dir;
    const QDateTime now(QDate(2024, 9, 1), QTime(8, 15, 2));
    const QString other = dir.filePath(QStringLiteral("altra-cartella"));
    QDir().mkpath(other);
    const QString old = QDir(other).filePath(QStringLiteral("2012-01-31_23-59-59.txt"));
    test::writeBytes(old, sendBytes({rossi(1)}));
    const QString linked = dir.filePath(kArchiveFolder);
    ASSERT_TRUE(QFile::link(other, linked));
    EXPECT_EQ(removeExpiredCopies(linked, 1, now), 0);
    EXPECT_TRUE(QFileInfo::exists(old));

    if (::geteuid() != 0)
        GTEST_SKIP() << "a folder of another account needs root to be made";
    ASSERT_EQ(::chown(QFile::encodeName(other).constData(), 65534, 65534), 0);
    EXPECT_EQ(removeExpiredCopies(other, 1, now), 0);
    EXPECT_TRUE(QFileInfo::exists(old));
}

TEST(SendArchive, CopiesAreOwnerOnlyAndEntriesThatAreNoFileAreNotRead)
{
    QTemporaryDir dir;
    const mode_t umaskBefore = ::umask(022);
    const QString exportPath = dir.filePath(QStringLiteral("ZaverUdevu.txt"));
    test::writeBytes(exportPath, sendBytes({rossi(1)}));
    // A folder an earlier version made readable by every account.
    const QString folder = dir.filePath(kArchiveFolder);
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::setPermissions(folder,
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                          | QFileDevice::ReadOther | QFileDevice::ExeOther));
    // A link planted where the copy is written aside.
    const QString victim = dir.filePath(QStringLiteral("victim.txt"));
    test::writeBytes(victim, "untouched");
    ASSERT_TRUE(QFile::link(victim, QDir(folder).filePath(QStringLiteral(".copia-in-corso.tmp"))));

    const QString copy = copyToArchive(folder, exportPath, kMorning);
    ::umask(umaskBefore);
    EXPECT_EQ(test::readBytes(copy), sendBytes({rossi(1)}));
    EXPECT_TRUE(test::isOwnerOnly(copy));
    EXPECT_TRUE(test::isOwnerOnly(folder));
    EXPECT_EQ(test::readBytes(victim), QByteArray("untouched"));
    EXPECT_EQ(namesIn(folder), QStringList{QFileInfo(copy).fileName()});

    // Entries named like copies that are a link to an endless device, a link
    // to a real copy, or a FIFO nobody writes: noted, none read or waited on.
    ASSERT_TRUE(
        QFile::link(QStringLiteral("/dev/zero"), QDir(folder).filePath(QStringLiteral("2024-01-01_00-00-00.txt"))));
    ASSERT_TRUE(QFile::link(copy, QDir(folder).filePath(QStringLiteral("2024-01-02_00-00-00.txt"))));
    ASSERT_EQ(::mkfifo(QFile::encodeName(QDir(folder).filePath(QStringLiteral("2024-01-03_00-00-00.txt"))), 0600), 0);
    const SendArchive archive = SendArchive::read(folder);
    EXPECT_EQ(archive.files(), 1);
    ASSERT_EQ(archive.skipped().size(), 3);
    EXPECT_EQ(archive.skipped()[0],
              QStringLiteral("2024-01-01_00-00-00.txt: non si può leggere (è un collegamento simbolico)"));
    EXPECT_TRUE(archive.skipped()[1].startsWith(QStringLiteral("2024-01-02_00-00-00.txt: non si può leggere")));
    EXPECT_EQ(archive.skipped()[2], QStringLiteral("2024-01-03_00-00-00.txt: non è un file normale"));
}
#endif
