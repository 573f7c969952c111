// SPDX-License-Identifier: GPL-3.0-or-later
// Files that hold guests' data, written so that no other account can read
// them and no failure leaves a piece of them behind: each is written aside,
// owner-only, under a fixed hidden name in its own folder, and renamed over
// its name only when complete. A link, a folder, a device or a FIFO where a
// file is to be written or read is refused, never followed or waited on.
#pragma once

#include <QByteArrayView>
#include <QString>

#include "platform/Platform.h"

#include <memory>

class QFile;

namespace ostelvia::exporter {

// Why the path cannot be written or read as a file of its own, without
// following a link: "è una cartella", "è un collegamento simbolico", ...;
// empty for a regular file or nothing at all.
QString notAFileReason(const QString& path);

// Opens a regular file for reading without waiting on a FIFO or a device;
// a link to a regular file is followed. Throws FileError naming `shown`.
void openForReading(QFile& file, const QString& shown);

// The name a file is written under before it takes its own: hidden, beside it.
QString stagingPath(const QString& target);

class StagedFile {
public:
    enum class Mode {
        OwnerOnly,   // 0600, whatever the file had
        KeepTarget,  // the mode an existing file had, else 0600
    };

    // Starts the file aside; one left by an interrupted run is removed first.
    // Throws FileError naming `shown` when the target is no regular file or
    // the file cannot be created.
    StagedFile(const QString& target, const QString& shown, Mode mode);
    // Not committed: the file aside is removed and the target stays as it was.
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    void write(QByteArrayView bytes);
    qint64 size() const { return size_; }
    // Drops the last `bytes` bytes written.
    void chop(qint64 bytes);
    // Appends what is left of `in` from its position, inside the system
    // where it can; returns how much, and `in` is past it.
    qint64 copyInSystem(QFile& in);
    // Keeps what was written under the target's name.
    void commit();
    // As commit, under the name `path` of the same folder instead, and never
    // over an existing file: FileError when one is there.
    void commitAs(const QString& path);
    // Throws FileError naming the file, with the reason of the failure.
    [[noreturn]] void fail(const platform::SystemError& error) const;

private:
    void finish();
    void discard();

    QString target_;
    QString staging_;
    QString shown_;
    std::unique_ptr<platform::NewFile> file_;
    platform::KeptAccess access_;
    qint64 size_ = 0;
};

using platform::makePrivateFolder;
using platform::removeEntry;

// Writes a file the clerk saves (a CSV) aside and renames it over the path at
// the end: a failed save leaves an older file whole, and a new file is for
// this account only. Throws FileError naming the path.
void writeWholeFile(const QString& path, QByteArrayView bytes);

}  // namespace ostelvia::exporter
