// SPDX-License-Identifier: GPL-3.0-or-later
// The system interface on Linux and other POSIX systems.
#include "platform/Platform.h"
#include "platform/PlatformDetail.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStringList>

#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace ostelvia::platform {

namespace {

constexpr mode_t kOwnerOnly = 0600;

QByteArray systemName(const QString& path)
{
    return QFile::encodeName(path);
}

SystemError errorOf(int code)
{
    switch (code) {
    case 0:
        return {};
    case ENOSPC:
        return {Failure::DiskFull, code};
    case EDQUOT:
        return {Failure::QuotaExceeded, code};
    case EFBIG:
        return {Failure::FileTooLarge, code};
    case EACCES:
    case EPERM:
        return {Failure::PermissionDenied, code};
    case ENOENT:
        return {Failure::NotFound, code};
    case ENOTDIR:
        return {Failure::NotAFolderInPath, code};
    case EISDIR:
        return {Failure::IsFolder, code};
    case ELOOP:
        return {Failure::IsLink, code};
    case EEXIST:
        return {Failure::Exists, code};
    case EROFS:
        return {Failure::ReadOnlyDisk, code};
    case EIO:
        return {Failure::InputOutput, code};
    case ENAMETOOLONG:
        return {Failure::NameTooLong, code};
    case EBUSY:
    case ETXTBSY:
        return {Failure::InUse, code};
    default:
        return {Failure::Other, code};
    }
}

SystemError lastError()
{
    return errorOf(errno);
}

EntryKind kindOf(const struct stat& info)
{
    if (S_ISREG(info.st_mode))
        return EntryKind::Regular;
    if (S_ISLNK(info.st_mode))
        return EntryKind::Link;
    if (S_ISDIR(info.st_mode))
        return EntryKind::Folder;
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return EntryKind::Device;
    if (S_ISFIFO(info.st_mode))
        return EntryKind::Fifo;
    return EntryKind::Other;
}

FileSignature signatureOf(const struct stat& st)
{
    FileSignature signature;
    signature.volume = st.st_dev;
    signature.fileId = st.st_ino;
    signature.size = st.st_size;
    signature.modifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    signature.changedNs = std::int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return signature;
}

int fdOf(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

}  // namespace

QString detail::systemMessage(long code)
{
    return QString::fromLocal8Bit(std::strerror(static_cast<int>(code)));
}

EntryKind entryKind(const QString& path)
{
    struct stat info { };
    if (::lstat(systemName(path).constData(), &info) != 0)
        return EntryKind::Missing;
    return kindOf(info);
}

SystemError signatureAt(const QString& path, FileSignature* signature)
{
    struct stat st { };
    if (::stat(systemName(path).constData(), &st) != 0)
        return lastError();
    if (S_ISDIR(st.st_mode))
        return errorOf(EISDIR);
    *signature = signatureOf(st);
    return {};
}

ReadFile::ReadFile(const QString& path, Links links)
{
    // Without waiting: a FIFO with nobody writing would hold the tool forever.
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (links == Links::Refuse ? O_NOFOLLOW : 0);
    const int fd = ::open(systemName(path).constData(), flags);
    if (fd < 0) {
        openError_ = lastError();
        return;
    }
    handle_ = fd;
}

void detail::closeReadHandle(std::intptr_t handle)
{
    ::close(fdOf(handle));
}

EntryKind ReadFile::kind() const
{
    struct stat info { };
    if (!isOpen() || ::fstat(fdOf(handle_), &info) != 0)
        return EntryKind::Missing;
    return kindOf(info);
}

SystemError ReadFile::signature(FileSignature* signature) const
{
    struct stat st { };
    if (::fstat(fdOf(handle_), &st) != 0)
        return lastError();
    *signature = signatureOf(st);
    return {};
}

std::int64_t ReadFile::readAt(std::int64_t offset, char* into, std::int64_t count, SystemError* error) const
{
    for (;;) {
        const ssize_t got = ::pread(fdOf(handle_), into, static_cast<size_t>(count), static_cast<off_t>(offset));
        if (got >= 0)
            return got;
        if (errno != EINTR) {
            *error = lastError();
            return -1;
        }
    }
}

int ReadFile::releaseDescriptor()
{
    const int fd = fdOf(std::exchange(handle_, kNoHandle));
    if (fd >= 0)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

KeptAccess accessOf(const QString& path)
{
    struct stat info { };
    if (::stat(systemName(path).constData(), &info) != 0)
        return {};
    return {true, static_cast<unsigned>(info.st_mode & 07777), {}};
}

NewFile::NewFile(const QString& path)
{
    // Exclusive, and not through a link: whatever appears under the name
    // meanwhile is never written to.
    const int fd =
        ::open(systemName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kOwnerOnly);
    if (fd < 0) {
        openError_ = lastError();
        return;
    }
    handle_ = fd;
}

NewFile::~NewFile()
{
    if (isOpen())
        ::close(fdOf(handle_));
}

SystemError NewFile::write(const char* bytes, std::int64_t count)
{
    while (count > 0) {
        const ssize_t written = ::write(fdOf(handle_), bytes, static_cast<size_t>(count));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written == 0 ? errorOf(EIO) : lastError();
        bytes += written;
        count -= written;
        position_ += written;
    }
    return {};
}

SystemError NewFile::truncate(std::int64_t size)
{
    if (::ftruncate(fdOf(handle_), size) != 0 || ::lseek(fdOf(handle_), size, SEEK_SET) < 0)
        return lastError();
    position_ = size;
    return {};
}

std::int64_t NewFile::copyFrom(int from, std::int64_t offset, std::int64_t size, SystemError* error)
{
    // Inside the kernel, without the bytes passing through this process; it
    // stops at the first refusal (a file system or kernel without it) and
    // leaves the rest to the caller's copy a piece at a time.
    off_t in = offset;
    off_t out = position_;
    std::int64_t copied = 0;
    while (copied < size) {
        const auto piece = static_cast<size_t>(std::min<std::int64_t>(size - copied, std::int64_t(1) << 30));
        const ssize_t done = ::copy_file_range(from, &in, fdOf(handle_), &out, piece, 0);
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0 && (errno == ENOSPC || errno == EDQUOT || errno == EFBIG || errno == EIO)) {
            *error = lastError();
            return -1;
        }
        if (done <= 0)
            break;
        copied += done;
    }
    position_ += copied;
    if (copied > 0 && ::lseek(fdOf(handle_), position_, SEEK_SET) < 0) {
        *error = lastError();
        return -1;
    }
    return copied;
}

SystemError NewFile::giveAccess(const KeptAccess& access)
{
    if (access.kept && access.mode != kOwnerOnly && ::fchmod(fdOf(handle_), access.mode) != 0)
        return lastError();
    return {};
}

SystemError NewFile::close()
{
    const int fd = fdOf(std::exchange(handle_, kNoHandle));
    if (::close(fd) != 0)
        return lastError();
    return {};
}

SystemError replaceWith(const QString& from, const QString& to)
{
    if (::rename(systemName(from).constData(), systemName(to).constData()) != 0)
        return lastError();
    return {};
}

SystemError renameToNew(const QString& from, const QString& to)
{
    const QByteArray source = systemName(from);
    const QByteArray target = systemName(to);
    int done = ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
    if (done != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without it: a second name, then the first one goes.
        done = ::link(source.constData(), target.constData());
        if (done == 0)
            ::unlink(source.constData());
    }
    return done != 0 ? lastError() : SystemError{};
}

bool removeEntry(const QString& path)
{
    const QByteArray name = systemName(path);
    struct stat info { };
    if (::lstat(name.constData(), &info) != 0 || S_ISDIR(info.st_mode))
        return false;
    return ::unlink(name.constData()) == 0;
}

QString foreignOwner(const QString& path)
{
    struct stat info { };
    if (::lstat(systemName(path).constData(), &info) != 0 || info.st_uid == ::geteuid())
        return {};
    if (const struct passwd* account = ::getpwuid(info.st_uid))
        return QString::fromLocal8Bit(account->pw_name);
    return QString::number(info.st_uid);
}

int removeRegularFiles(const QString& folder, const QStringList& names)
{
    // Every removal goes through this one descriptor: a link put in the
    // folder's place meanwhile is never followed.
    const int dir = ::open(systemName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0)
        return 0;
    struct stat info { };
    int removed = 0;
    if (::fstat(dir, &info) == 0 && info.st_uid == ::geteuid()) {
        for (const QString& name : names) {
            const QByteArray entry = systemName(name);
            struct stat file { };
            if (::fstatat(dir, entry.constData(), &file, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(file.st_mode)
                && ::unlinkat(dir, entry.constData(), 0) == 0)
                ++removed;
        }
    }
    ::close(dir);
    return removed;
}

QString makePrivateFolder(const QString& folder)
{
    const QByteArray name = systemName(folder);
    struct stat info { };
    if (::lstat(name.constData(), &info) != 0) {
        if (errno != ENOENT)
            return reasonOf(lastError());
        if (::mkdir(name.constData(), 0700) != 0)
            return reasonOf(lastError());
        return {};
    }
    if (S_ISLNK(info.st_mode))
        return kindReason(EntryKind::Link);
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("non è una cartella");
    // A folder made by an earlier version was readable by every account.
    if (info.st_uid == ::geteuid() && (info.st_mode & 077) != 0)
        ::chmod(name.constData(), info.st_mode & 0700);
    return {};
}

QString ownerOnlyDescriptor(bool)
{
    return {};
}

FILE* streamOver(const char* bytes, std::size_t size)
{
    return ::fmemopen(const_cast<char*>(bytes), size, "r");
}

std::intptr_t muteStandardError()
{
    static FILE* const sink = std::fopen("/dev/null", "we");
    FILE* const outer = stderr;
    if (sink)
        stderr = sink;
    return reinterpret_cast<std::intptr_t>(outer);
}

void restoreStandardError(std::intptr_t saved)
{
    stderr = reinterpret_cast<FILE*>(saved);
}

void writeTerminal(Stream stream, const QString& text)
{
    const QByteArray bytes = detail::blankedForTerminal(text.toLocal8Bit());
    FILE* out = stream == Stream::Output ? stdout : stderr;
    // The printf family is checked by the fortified C library; "%.*s" writes
    // the given length (the text has no NUL left: it is blanked).
    std::fprintf(out, "%.*s", static_cast<int>(bytes.size()), bytes.constData());
    std::fflush(out);
}

bool startDetached(const QString& commandLine)
{
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty())
        return false;
    const QString program = words.takeFirst();
    return QProcess::startDetached(program, words);
}

QString programOf(const QString& commandLine)
{
    const QStringList words = QProcess::splitCommand(commandLine);
    return words.isEmpty() ? QString() : words.first();
}

void treatFileSizeLimitAsError()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

QString defaultExportPath()
{
    return QDir(QDir::homePath()).filePath(QStringLiteral("ZaverUdevu.txt"));
}

QString defaultSendCommand()
{
    return QStringLiteral("xdg-open https://...");
}

QString userSettingsFile(const QString& organisation, const QString& application)
{
    // Qt's own settings file on these systems is an INI file already.
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, organisation, application).fileName();
}

QString textViewerCommand(const QString& fileName)
{
    // Double quotes keep a name with blanks one word for the command splitter.
    QString quoted = fileName;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\"\""));
    return QStringLiteral("xdg-open \"") + quoted + QLatin1Char('"');
}

bool hasFolder(const QString& path)
{
    return path.contains(QLatin1Char('/'));
}

}  // namespace ostelvia::platform
