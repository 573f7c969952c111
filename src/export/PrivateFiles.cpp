// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/PrivateFiles.h"

#include <QFile>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "export/TextFiles.h"

namespace ostelvia::exporter {

namespace {

constexpr mode_t kOwnerOnly = 0600;

QByteArray systemName(const QString& path)
{
    return QFile::encodeName(path);
}

// What an lstat or fstat found, when it is no regular file; else empty.
QString kindReason(const struct stat& info)
{
    if (S_ISREG(info.st_mode))
        return {};
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("è un collegamento simbolico");
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("è una cartella");
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return QStringLiteral("è un dispositivo, non un file");
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("è una coda (FIFO), non un file");
    return QStringLiteral("non è un file normale");
}

QString nulName(const QString& path)
{
    return QString(path).replace(QChar(0), QLatin1Char(' '));
}

// The system would take the name only up to a NUL (a settings file full of
// binary garbage) and reach some other file.
void refuseNul(const QString& path, const QString& shown, const QString& action)
{
    if (path.contains(QChar(0)))
        throw FileError(QStringLiteral("Impossibile %1 il file \"%2\": il nome del file non è valido.")
                            .arg(action, nulName(shown)));
}

}  // namespace

QString systemReason(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("il disco è pieno");
    case EDQUOT:
        return QStringLiteral("lo spazio concesso sul disco è esaurito");
    case EFBIG:
        return QStringLiteral("il file supera la dimensione massima consentita");
    case EACCES:
    case EPERM:
        return QStringLiteral("permesso negato");
    case ENOENT:
        return QStringLiteral("il file o la cartella non esiste");
    case ENOTDIR:
        return QStringLiteral("una parte del percorso non è una cartella");
    case EISDIR:
        return QStringLiteral("è una cartella");
    case ELOOP:
        return QStringLiteral("è un collegamento simbolico");
    case EEXIST:
        return QStringLiteral("esiste già");
    case EROFS:
        return QStringLiteral("il disco è di sola lettura");
    case EIO:
        return QStringLiteral("errore di lettura o scrittura sul disco");
    case ENAMETOOLONG:
        return QStringLiteral("il nome è troppo lungo");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("il file è in uso");
    default:
        return QStringLiteral("errore del sistema (%1)").arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}

QString notAFileReason(const QString& path)
{
    struct stat info { };
    if (::lstat(systemName(path).constData(), &info) != 0)
        return {};
    return kindReason(info);
}

void openForReading(QFile& file, const QString& shown)
{
    const QString path = file.fileName();
    refuseNul(path, shown, QStringLiteral("leggere"));
    const auto failed = [&shown](const QString& reason) {
        return FileError(QStringLiteral("Impossibile leggere il file \"%1\": %2.").arg(shown, reason));
    };
    // Without waiting: a FIFO with nobody writing would hold the tool forever.
    const int fd = ::open(systemName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw failed(systemReason(errno));
    struct stat info { };
    const QString reason = ::fstat(fd, &info) != 0 ? systemReason(errno) : kindReason(info);
    if (!reason.isEmpty()) {
        ::close(fd);
        throw failed(reason);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw failed(file.errorString());
    }
}

QString stagingPath(const QString& target)
{
    const qsizetype slash = target.lastIndexOf(QLatin1Char('/'));
    return target.left(slash + 1) + QLatin1Char('.') + target.mid(slash + 1) + QStringLiteral(".tmp");
}

StagedFile::StagedFile(const QString& target, const QString& shown, Mode mode)
    : target_(target),
      staging_(stagingPath(target)),
      shown_(shown)
{
    refuseNul(target, shown, QStringLiteral("scrivere"));
    const QString reason = notAFileReason(target);
    if (!reason.isEmpty())
        throw FileError(QStringLiteral("Impossibile scrivere il file \"%1\": %2.").arg(shown, reason));
    struct stat info { };
    if (mode == Mode::KeepTarget && ::stat(systemName(target).constData(), &info) == 0)
        mode_ = info.st_mode & 07777;
    // A file an interrupted run left here is of no use to anyone.
    removeEntry(staging_);
    // Exclusive, and not through a link: whatever appears under the name
    // meanwhile is never written to.
    fd_ = ::open(systemName(staging_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kOwnerOnly);
    if (fd_ < 0) {
        const int error = errno;
        staging_.clear();  // not ours: nothing to remove
        // The file itself may be writable: say that it is the folder.
        if (error == EACCES || error == EPERM)
            throw FileError(
                QStringLiteral("Impossibile scrivere il file \"%1\": nella sua cartella non si possono creare file "
                               "(permesso negato).")
                    .arg(shown));
        fail(error);
    }
}

StagedFile::~StagedFile()
{
    discard();
}

void StagedFile::discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!staging_.isEmpty())
        ::unlink(systemName(staging_).constData());
    staging_.clear();
}

void StagedFile::fail(int error) const
{
    throw FileError(QStringLiteral("Impossibile scrivere il file \"%1\": %2.").arg(shown_, systemReason(error)));
}

void StagedFile::write(QByteArrayView bytes)
{
    if (!writeAll(fd_, bytes))
        fail(errno);
    size_ += bytes.size();
}

void StagedFile::grew(qint64 bytes)
{
    size_ += bytes;
    if (::lseek(fd_, size_, SEEK_SET) < 0)
        fail(errno);
}

void StagedFile::chop(qint64 bytes)
{
    const qint64 kept = std::max<qint64>(0, size_ - bytes);
    if (::ftruncate(fd_, kept) != 0 || ::lseek(fd_, kept, SEEK_SET) < 0)
        fail(errno);
    size_ = kept;
}

void StagedFile::finish()
{
    if (mode_ != kOwnerOnly && ::fchmod(fd_, mode_) != 0)
        fail(errno);
    const int fd = fd_;
    fd_ = -1;
    // A file system that reserves space late reports a full disk here.
    if (::close(fd) != 0)
        fail(errno);
}

void StagedFile::commit()
{
    finish();
    if (::rename(systemName(staging_).constData(), systemName(target_).constData()) != 0)
        fail(errno);
    staging_.clear();
}

void StagedFile::commitAs(const QString& path)
{
    finish();
    const QByteArray from = systemName(staging_);
    const QByteArray to = systemName(path);
    int done = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    if (done != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without it: a second name, then the first one goes.
        done = ::link(from.constData(), to.constData());
        if (done == 0)
            ::unlink(from.constData());
    }
    if (done != 0)
        fail(errno);
    staging_.clear();
}

void writeWholeFile(const QString& path, QByteArrayView bytes)
{
    StagedFile file(localPath(path), path, StagedFile::Mode::KeepTarget);
    file.write(bytes);
    file.commit();
}

QString makePrivateFolder(const QString& folder)
{
    const QByteArray name = systemName(folder);
    struct stat info { };
    if (::lstat(name.constData(), &info) != 0) {
        if (errno != ENOENT)
            return systemReason(errno);
        if (::mkdir(name.constData(), 0700) != 0)
            return systemReason(errno);
        return {};
    }
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("è un collegamento simbolico");
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("non è una cartella");
    // A folder made by an earlier version was readable by every account.
    if (info.st_uid == ::geteuid() && (info.st_mode & 077) != 0)
        ::chmod(name.constData(), info.st_mode & 0700);
    return {};
}

bool removeEntry(const QString& path)
{
    const QByteArray name = systemName(path);
    struct stat info { };
    if (::lstat(name.constData(), &info) != 0 || S_ISDIR(info.st_mode))
        return false;
    return ::unlink(name.constData()) == 0;
}

bool writeAll(int fd, QByteArrayView bytes)
{
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, p, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        p += written;
        left -= written;
    }
    return true;
}

}  // namespace ostelvia::exporter
