// SPDX-License-Identifier: GPL-3.0-or-later
// The system interface keeps its promises with each system's own means:
// files replaced in one step, links and devices never written through nor
// read, files and folders for the user alone, and the front office's files
// read while its program holds them open.
#include "platform/Platform.h"

#include "db/Database.h"
#include "export/PrivateFiles.h"
#include "TestSupport.h"
#include "text/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace ostelvia::test {
namespace {

using platform::EntryKind;
using platform::Failure;

// A symbolic link at `link` to `target`; false where the system or the
// account cannot make one that the system then shows as a link (Wine says
// it made one and makes nothing).
bool makeLink(const QString& target, const QString& link)
{
#ifdef Q_OS_WIN
    const DWORD folder = QFileInfo(target).isDir() ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
    CreateSymbolicLinkW(QDir::toNativeSeparators(link).toStdWString().c_str(),
                        QDir::toNativeSeparators(target).toStdWString().c_str(), folder);
#else
    QFile::link(target, link);
#endif
    return platform::entryKind(link) == EntryKind::Link;
}

QString writeMessage(const QString& path)
{
    try {
        exporter::writeWholeFile(path, "dati degli ospiti");
    } catch (const Error& error) {
        return error.message();
    }
    return {};
}

TEST(Platform, AFileIsReplacedInOneStepAndANewNameIsNeverTakenTwice)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("ZaverUdevu.txt"));
    const QString staged = dir.filePath(QStringLiteral(".ZaverUdevu.txt.tmp"));
    writeBytes(target, "ieri");
    writeBytes(staged, "oggi");
    EXPECT_FALSE(platform::replaceWith(staged, target));
    EXPECT_EQ(readBytes(target), QByteArray("oggi"));
    EXPECT_FALSE(QFile::exists(staged));

    writeBytes(staged, "domani");
    EXPECT_EQ(platform::renameToNew(staged, target).failure, Failure::Exists);
    EXPECT_EQ(readBytes(target), QByteArray("oggi"));
    EXPECT_EQ(readBytes(staged), QByteArray("domani"));

    // The staged writer over a file that exists, twice: the second run
    // replaces the first one's file and gives it the same access.
    EXPECT_EQ(writeMessage(target), QString());
    EXPECT_EQ(writeMessage(target), QString());
    EXPECT_EQ(readBytes(target), QByteArray("dati degli ospiti"));
}

TEST(Platform, LinksAreNeitherFollowedNorWrittenThrough)
{
    QTemporaryDir dir;
    const QString victim = dir.filePath(QStringLiteral("altrui.txt"));
    writeBytes(victim, "non toccare");
    const QString link = dir.filePath(QStringLiteral("ZaverUdevu.txt"));
    if (!makeLink(victim, link))
        GTEST_SKIP() << "this system or account makes no symbolic link";

    EXPECT_EQ(platform::entryKind(link), EntryKind::Link);
    const platform::ReadFile refused(link, platform::ReadFile::Links::Refuse);
    EXPECT_FALSE(refused.isOpen());
    const platform::NewFile created(link);
    EXPECT_FALSE(created.isOpen());
    EXPECT_TRUE(writeMessage(link).contains(QStringLiteral("è un collegamento simbolico")))
        << writeMessage(link).toStdString();
    EXPECT_EQ(readBytes(victim), QByteArray("non toccare"));

    // A link to a folder (a junction's like on Windows) is removed as a link,
    // its folder and what it holds stay.
    const QString folder = dir.filePath(QStringLiteral("cartella"));
    ASSERT_TRUE(QDir().mkpath(folder));
    writeBytes(QDir(folder).filePath(QStringLiteral("copia.txt")), "x");
    const QString folderLink = dir.filePath(QStringLiteral("ArchivioInvii"));
    ASSERT_TRUE(makeLink(folder, folderLink));
    EXPECT_EQ(platform::entryKind(folderLink), EntryKind::Link);
    EXPECT_EQ(platform::makePrivateFolder(folderLink), QStringLiteral("è un collegamento simbolico"));
    EXPECT_TRUE(platform::removeEntry(folderLink));
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath(QStringLiteral("copia.txt"))));
}

#ifdef Q_OS_WIN
// Wine shows a POSIX link to a folder as a reparse point: the build makes one
// (tests/CMakeLists.txt), since Wine's own CreateSymbolicLinkW makes nothing.
TEST(Platform, AReparsePointIsRefusedAsALink)
{
    const QString link = QStringLiteral(OSTELVIA_BINARY_DIR "/links/ArchivioInvii");
    ASSERT_TRUE(QFileInfo::exists(link + QStringLiteral("/copia.txt")));
    EXPECT_EQ(platform::entryKind(link), EntryKind::Link);
    EXPECT_EQ(platform::makePrivateFolder(link), QStringLiteral("è un collegamento simbolico"));
    const platform::ReadFile refused(link, platform::ReadFile::Links::Refuse);
    EXPECT_FALSE(refused.isOpen());
    EXPECT_TRUE(writeMessage(link).contains(QStringLiteral("è un collegamento simbolico")));
    EXPECT_EQ(readBytes(link + QStringLiteral("/copia.txt")), QByteArray("copia"));
}
#endif

TEST(Platform, DevicesAreNeitherReadNorWritten)
{
#ifdef Q_OS_WIN
    QTemporaryDir dir;
    // Windows opens the device whatever the folder and extension.
    const QStringList devices = {QStringLiteral("NUL"), QStringLiteral("con"), dir.filePath(QStringLiteral("COM1")),
                                 dir.filePath(QStringLiteral("lpt3.txt")), QStringLiteral("\\\\.\\PhysicalDrive0")};
#else
    const QStringList devices = {QStringLiteral("/dev/null"), QStringLiteral("/dev/zero")};
#endif
    for (const QString& device : devices) {
        SCOPED_TRACE(device.toStdString());
        EXPECT_EQ(platform::entryKind(device), EntryKind::Device);
        EXPECT_EQ(writeMessage(device),
                  QStringLiteral("Impossibile scrivere il file \"%1\": è un dispositivo, non un file.").arg(device));
    }
    // Names that only look like one are files.
    EXPECT_EQ(platform::entryKind(QDir::temp().filePath(QStringLiteral("CONTO.txt"))), EntryKind::Missing);
}

TEST(Platform, WhatTheToolCreatesIsTheUsersAlone)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("controllo.csv"));
    EXPECT_EQ(writeMessage(file), QString());
    EXPECT_TRUE(isOwnerOnly(file));
    const QString folder = dir.filePath(QStringLiteral("ArchivioInvii"));
    EXPECT_EQ(platform::makePrivateFolder(folder), QString());
    EXPECT_TRUE(isOwnerOnly(folder));
#ifdef Q_OS_WIN
    // As built: nothing inherited from the (shared) folder above, full access
    // for the user and the system only, passed on inside a folder.
    const QString descriptor = platform::ownerOnlyDescriptor(true);
    EXPECT_TRUE(descriptor.startsWith(QStringLiteral("D:P("))) << descriptor.toStdString();
    EXPECT_EQ(descriptor.count(QStringLiteral("(A;")), 2) << descriptor.toStdString();
    EXPECT_TRUE(descriptor.contains(QStringLiteral("(A;OICI;FA;;;SY)"))) << descriptor.toStdString();
    EXPECT_TRUE(descriptor.contains(QStringLiteral("(A;OICI;FA;;;S-1-5-"))) << descriptor.toStdString();
    EXPECT_FALSE(platform::ownerOnlyDescriptor(false).contains(QStringLiteral("OICI")));
#else
    EXPECT_EQ(platform::ownerOnlyDescriptor(true), QString());
#endif
}

TEST(Platform, CommandLinesNameTheirProgram)
{
    EXPECT_EQ(platform::programOf(QStringLiteral("notepad ListaPs.txt")), QStringLiteral("notepad"));
    EXPECT_EQ(platform::programOf(QStringLiteral("\"C:\\Program Files\\Mozilla Firefox\\firefox.exe\" https://x")),
              QStringLiteral("C:\\Program Files\\Mozilla Firefox\\firefox.exe"));
#ifdef Q_OS_WIN
    // The described default, unquoted, as the system's command runner reads it.
    EXPECT_EQ(platform::programOf(platform::defaultSendCommand()),
              QStringLiteral("C:\\Programmi\\Internet Explorer\\iexplore.exe"));
    EXPECT_FALSE(platform::startDetached(QStringLiteral("C:\\Programmi\\Nessuno\\manca.exe https://...")));
#endif
}

#ifdef Q_OS_WIN
// The front office keeps its databases open for reading and writing, shared
// with other readers and writers, as Jet does; a save goes on meanwhile.
TEST(Platform, AFileTheFrontOfficeHoldsOpenIsRead)
{
    ScratchDir scratch;
    const std::wstring name = QDir::toNativeSeparators(scratch.filePath(QStringLiteral("Comuni.mdb"))).toStdWString();
    const HANDLE held = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    {
        db::Database comuni = db::Database::open(QStringLiteral("Comuni.mdb"));
        db::Recordset codes = comuni.openRecordset(QStringLiteral("CodiciVari"));
        codes.findFirst(QStringLiteral("Descrizione = 'ROMA'"));
        EXPECT_FALSE(codes.noMatch());
    }
    // The tool holds nothing open after it has read: the program can go on
    // writing where it wants.
    DWORD written = 0;
    SetFilePointer(held, 0, nullptr, FILE_END);
    EXPECT_TRUE(WriteFile(held, "", 0, &written, nullptr));
    CloseHandle(held);
    EXPECT_TRUE(scratch.databasesUntouched());
}
#endif

}  // namespace
}  // namespace ostelvia::test
