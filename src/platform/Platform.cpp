// SPDX-License-Identifier: GPL-3.0-or-later
// The part of the system interface that is the same on every system.
#include "platform/Platform.h"
#include "platform/PlatformDetail.h"

#include <utility>

namespace ostelvia::platform {

QString reasonOf(const SystemError& error)
{
    switch (error.failure) {
    case Failure::None:
        return {};
    case Failure::DiskFull:
        return QStringLiteral("il disco è pieno");
    case Failure::QuotaExceeded:
        return QStringLiteral("lo spazio concesso sul disco è esaurito");
    case Failure::FileTooLarge:
        return QStringLiteral("il file supera la dimensione massima consentita");
    case Failure::PermissionDenied:
        return QStringLiteral("permesso negato");
    case Failure::NotFound:
        return QStringLiteral("il file o la cartella non esiste");
    case Failure::NotAFolderInPath:
        return QStringLiteral("una parte del percorso non è una cartella");
    case Failure::IsFolder:
        return QStringLiteral("è una cartella");
    case Failure::IsLink:
        return QStringLiteral("è un collegamento simbolico");
    case Failure::Exists:
        return QStringLiteral("esiste già");
    case Failure::ReadOnlyDisk:
        return QStringLiteral("il disco è di sola lettura");
    case Failure::InputOutput:
        return QStringLiteral("errore di lettura o scrittura sul disco");
    case Failure::NameTooLong:
        return QStringLiteral("il nome è troppo lungo");
    case Failure::InvalidName:
        return QStringLiteral("il nome del file non è valido");
    case Failure::InUse:
        return QStringLiteral("il file è in uso");
    case Failure::Other:
        break;
    }
    return QStringLiteral("errore del sistema (%1)").arg(detail::systemMessage(error.code));
}

QByteArray detail::blankedForTerminal(QByteArray utf8)
{
    QByteArray shown;
    shown.reserve(utf8.size());
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8.at(i));
        const bool c1 = byte == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8.at(i + 1)) >= 0x80
            && static_cast<unsigned char>(utf8.at(i + 1)) <= 0x9F;
        if (c1) {
            shown.append(' ');
            ++i;
        } else if ((byte < 0x20 && byte != '\n') || byte == 0x7F) {
            shown.append(' ');
        } else {
            shown.append(char(byte));
        }
    }
    return shown;
}

QString kindReason(EntryKind kind)
{
    switch (kind) {
    case EntryKind::Missing:
    case EntryKind::Regular:
        return {};
    case EntryKind::Link:
        return QStringLiteral("è un collegamento simbolico");
    case EntryKind::Folder:
        return QStringLiteral("è una cartella");
    case EntryKind::Device:
        return QStringLiteral("è un dispositivo, non un file");
    case EntryKind::Fifo:
        return QStringLiteral("è una coda (FIFO), non un file");
    case EntryKind::Other:
        break;
    }
    return QStringLiteral("non è un file normale");
}

std::int64_t ReadFile::readFromStart(char* into, std::int64_t count, SystemError* error) const
{
    std::int64_t done = 0;
    while (done < count) {
        const std::int64_t got = readAt(done, into + done, count - done, error);
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

ReadFile::~ReadFile()
{
    if (isOpen())
        detail::closeReadHandle(handle_);
}

ReadFile::ReadFile(ReadFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)),
      openError_(other.openError_)
{ }

ReadFile& ReadFile::operator=(ReadFile&& other) noexcept
{
    if (this != &other) {
        if (isOpen())
            detail::closeReadHandle(handle_);
        handle_ = std::exchange(other.handle_, kNoHandle);
        openError_ = other.openError_;
    }
    return *this;
}

}  // namespace ostelvia::platform
