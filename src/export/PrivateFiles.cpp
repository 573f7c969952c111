// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/PrivateFiles.h"

#include <QFile>
#include <QFileInfo>

#include "export/TextFiles.h"

namespace ostelvia::exporter {

namespace {

using platform::SystemError;

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

// " (è dell'utente NAME)" when another account owns the entry.
QString ownerNote(const QString& path)
{
    const QString owner = platform::foreignOwner(path);
    return owner.isEmpty() ? QString() : QStringLiteral(" (è dell'utente %1)").arg(owner);
}

// A file another account created where this one writes keeps that account's
// mode, often readable by everyone: the guests' data written into it would
// be too. Refused, as a link is.
void refuseForeignFile(const QString& target, const QString& shown)
{
    const QString owner = platform::foreignOwner(target);
    if (!owner.isEmpty())
        throw FileError(
            QStringLiteral("Impossibile scrivere il file \"%1\": appartiene a un altro utente (%2). Cancellarlo o "
                           "sceglierne un altro.")
                .arg(shown, owner));
}

}  // namespace

QString notAFileReason(const QString& path)
{
    return platform::kindReason(platform::entryKind(path));
}

void openForReading(QFile& file, const QString& shown)
{
    const QString path = file.fileName();
    refuseNul(path, shown, QStringLiteral("leggere"));
    const auto failed = [&shown](const QString& reason) {
        return FileError(QStringLiteral("Impossibile leggere il file \"%1\": %2.").arg(shown, reason));
    };
    // Without waiting: a FIFO with nobody writing would hold the tool forever.
    platform::ReadFile opened(path, platform::ReadFile::Links::Follow);
    if (!opened.isOpen())
        throw failed(platform::reasonOf(opened.openError()));
    const QString reason = platform::kindReason(opened.kind());
    if (!reason.isEmpty())
        throw failed(reason);
    const int fd = opened.releaseDescriptor();
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        throw failed(file.errorString());
}

QString stagingPath(const QString& target)
{
    const QString name = QFileInfo(target).fileName();
    return target.left(target.size() - name.size()) + QLatin1Char('.') + name + QStringLiteral(".tmp");
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
    if (mode == Mode::KeepTarget) {
        refuseForeignFile(target, shown);
        access_ = platform::accessOf(target);
    }
    // A file an interrupted run left here is of no use to anyone.
    removeEntry(staging_);
    file_ = std::make_unique<platform::NewFile>(staging_);
    if (!file_->isOpen()) {
        const SystemError error = file_->openError();
        file_.reset();
        staging_.clear();  // not ours: nothing to remove
        // Another account's file under the hidden name, which this one
        // cannot remove (a shared folder): name it, not the file to write.
        if (error.failure == platform::Failure::Exists)
            throw FileError(
                QStringLiteral("Impossibile scrivere il file \"%1\": nella stessa cartella c'è già il file \"%2\", "
                               "che non si può togliere%3.")
                    .arg(shown, QFileInfo(stagingPath(shown)).fileName(), ownerNote(stagingPath(target))));
        // The file itself may be writable: say that it is the folder.
        if (error.failure == platform::Failure::PermissionDenied)
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
    file_.reset();
    if (!staging_.isEmpty())
        removeEntry(staging_);
    staging_.clear();
}

void StagedFile::fail(const SystemError& error) const
{
    throw FileError(QStringLiteral("Impossibile scrivere il file \"%1\": %2.").arg(shown_, platform::reasonOf(error)));
}

void StagedFile::write(QByteArrayView bytes)
{
    if (const SystemError error = file_->write(bytes.data(), bytes.size()))
        fail(error);
    size_ += bytes.size();
}

qint64 StagedFile::copyInSystem(QFile& in)
{
    const qint64 from = in.pos();
    SystemError error;
    const qint64 copied = file_->copyFrom(in.handle(), from, in.size() - from, &error);
    if (copied < 0)
        fail(error);
    if (copied > 0 && !in.seek(from + copied))
        fail({platform::Failure::InputOutput, 0});
    size_ += copied;
    return copied;
}

void StagedFile::chop(qint64 bytes)
{
    const qint64 kept = std::max<qint64>(0, size_ - bytes);
    if (const SystemError error = file_->truncate(kept))
        fail(error);
    size_ = kept;
}

void StagedFile::finish()
{
    if (const SystemError error = file_->giveAccess(access_))
        fail(error);
    // A file system that reserves space late reports a full disk here.
    const SystemError error = file_->close();
    file_.reset();
    if (error)
        fail(error);
}

void StagedFile::commit()
{
    finish();
    if (const SystemError error = platform::replaceWith(staging_, target_))
        fail(error);
    staging_.clear();
}

void StagedFile::commitAs(const QString& path)
{
    finish();
    if (const SystemError error = platform::renameToNew(staging_, path))
        fail(error);
    staging_.clear();
}

void writeWholeFile(const QString& path, QByteArrayView bytes)
{
    StagedFile file(localPath(path), path, StagedFile::Mode::KeepTarget);
    file.write(bytes);
    file.commit();
}

}  // namespace ostelvia::exporter
