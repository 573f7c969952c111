// SPDX-License-Identifier: GPL-3.0-or-later
// The archive of what was sent: a byte-identical copy of every export file
// that "Invia" sent, in the folder "ArchivioInvii" of the front-office
// directory, named by local date and time. Before a send the selected
// records are compared with it, so that nothing goes out twice unnoticed.
#pragma once

#include "export/ExportLines.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <vector>

namespace ostelvia::db {
class Run;
}

namespace ostelvia::exporter {

inline const QString kArchiveFolder = QStringLiteral("ArchivioInvii");

// "2024-09-01_08-15-02.txt"; "_2", "_3", ... before ".txt" when the folder
// already holds a copy of that second.
QString archiveFileName(const QString& folder, const QDateTime& when);

// Copies the export file's bytes into the folder (created when missing) and
// returns the copy's path. Folder and copies are for the owner's account
// only. Never overwrites an archived file; a copy that could not be
// completed is removed. Throws FileError.
QString copyToArchive(const QString& folder, const QString& exportPath, const QDateTime& when);

// How long the archive keeps a copy, unless the user says otherwise: the
// copies hold guests' personal data, kept no longer than needed.
constexpr int kMesiConservazionePredefiniti = 60;

// Removes the copies sent more than `months` months before `now` (by the
// time in their names); 0 months keeps every copy. Only regular files of an
// archive folder of the user's own (no link) go, never the `spared` names
// (files found not to be copies of a send). Returns how many went.
int removeExpiredCopies(const QString& folder, int months, const QDateTime& now, const QStringList& spared = {});

// The sent records of every archived file, by stay (fields 1, 2 and 8).
class SendArchive {
public:
    struct Sent {
        QByteArrayView line;  // as archived, Windows-1252
        int file;             // index into sentAt()
    };

    // Reads every file of the folder; a missing folder is an empty archive.
    // A damaged or foreign file, a link, a device or a FIFO is skipped and
    // noted, never fatal; a copy without its header line is read all the same.
    static SendArchive read(const QString& folder);

    // The latest send of that stay, or null.
    const Sent* find(const QByteArray& key) const;
    const QDateTime& sentAt(int file) const { return sentAt_.at(file); }
    // One plain Italian line per skipped file.
    const QStringList& skipped() const { return skipped_; }
    // The names of the files read that are no copy of a send: not to be
    // pruned as one.
    const QStringList& notSends() const { return notSends_; }
    int files() const { return static_cast<int>(sentAt_.size()); }
    qsizetype records() const { return index_.size(); }

private:
    void addFile(const QString& name, const QDateTime& when, QByteArray bytes);

    std::vector<QByteArray> data_;  // the files' bytes; index_ points into them
    QVector<QDateTime> sentAt_;
    QHash<QByteArray, Sent> index_;
    QStringList skipped_;
    QStringList notSends_;
};

struct AlreadySent {
    int row;  // index in the list
    QString line;
    QDateTime earlierSend;
    bool identical;  // false: same stay, other data ("rettifica")
};

// The records among the selected rows whose stay is already in the archive.
QVector<AlreadySent> findAlreadySent(const SendArchive& archive, const ExportLines& lines, const QVector<int>& rows);

// The room of the card a record came from, looked up in the current and the
// history guest database as the run reads them; "?" when neither has it (or
// cannot be read).
QString roomOfRecord(db::Run& run, const QString& line);

// The question put before a send: up to 20 records already sent (room, name,
// arrival, earlier send, identical or changed), the count of the rest, the
// skipped archive files, then "Inviare comunque?". Empty when there is
// nothing to ask. Without `room`, rooms come from roomOfRecord.
QString alreadySentQuestion(const QVector<AlreadySent>& found, const QStringList& skipped,
                            const std::function<QString(const QString&)>& room = {});

}  // namespace ostelvia::exporter
