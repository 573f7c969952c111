// SPDX-License-Identifier: GPL-3.0-or-later
// One run of the tool (an export, a check, a code list, a window command)
// and the one view of the front-office files it reads.
//
// The front office may write while a run reads: a guest checked out between
// the reading of the current guests and of the history would be in both.
// A command therefore takes its view at its start (withSteadyView): it reads
// every file it needs, whole, one after the other, and then confirms at once
// that none of them changed meanwhile. Once confirmed, the copies in memory
// are one state of the front office, and the work runs on them to its end:
// a save after that cannot mix into it. The view is read again, a few times,
// while the files keep changing during the reading.
#pragma once

#include <QHash>
#include <QLatin1String>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "db/Database.h"

namespace ostelvia::db {

// A file the run read has changed on disk since: what the run saw may mix
// two states of the front office's files. withSteadyView() takes the view
// again; elsewhere it is a failure like any other.
class ViewChanged : public DbError {
public:
    explicit ViewChanged(const QString& fileName);
    const QString& fileName() const { return fileName_; }

private:
    QString fileName_;
};

// What a caller asks of a code table again and again with another value:
// the field of the first row of the set that "<criteriaPrefix><value>'"
// finds (see quotedCriteria). Declared once, as a constant, by the caller.
struct LookUpQuestion {
    QString file;
    QString set;  // a table name or a Select text
    QLatin1String criteriaPrefix;
    QString field;
};

class Run {
public:
    Run();
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    // Reads every file named, one after the other, and confirms that none
    // changed while they were read; anything read before is dropped. A file
    // that cannot be opened fails later, at its open in the run, as it would
    // have without a view. Throws ViewChanged when a file changed.
    void takeView(const QStringList& fileNames);

    // The file as this run read it, in its view or at its first open: later
    // opens in the run get the same bytes and what was built on them (the
    // copies in SQLite, their indexes, the prepared queries). Throws DbError,
    // and ViewChanged when the file changed while it was read.
    Database open(const QString& fileName);

    // The question's answer for the value, or nothing when the set has no
    // such row; asked of the file once per run (a card asks a dozen code
    // questions, nearly all asked by earlier cards). A question that throws
    // keeps nothing.
    std::optional<Value> lookUp(const LookUpQuestion& question, const QString& value);

    // Throws ViewChanged when a file this run read is no longer as it was.
    void confirmView() const;

private:
    struct ReadFile;
    std::shared_ptr<detail::DatabaseFile> read(const QString& fileName);

    std::map<QString, ReadFile> files_;                            // by absolute path
    QHash<QString, QString> failures_;                             // why a file of the view did not open, by name
    QHash<QString, std::shared_ptr<detail::DatabaseFile>> names_;  // by the name as the caller wrote it
    QHash<const LookUpQuestion*, QHash<QString, std::optional<Value>>> answers_;
};

// The message when a file kept changing through every attempt at a view.
QString fileKeptChanging(const QString& fileName);

// A file kept changing attempt after attempt (fileKeptChanging): the user
// is asked to try the same again in a few seconds.
class FilesKeptChanging : public DbError {
public:
    explicit FilesKeptChanging(const QString& fileName) : DbError(fileKeptChanging(fileName)) { }
};

namespace detail {
// Waits before attempt number `attempt` (from 1) of a view; false when the
// attempts are over.
bool waitBeforeAttempt(int attempt);
// Takes the run's view of the files, again while one changes during the
// reading, for a couple of seconds at most; then throws
// FilesKeptChanging naming the file.
void takeSteadyView(Run& run, const QStringList& fileNames);
}  // namespace detail

// Takes a steady view of `fileNames`, the front-office files the command
// reads, and runs `work(run)` once on it. A file the work opens beyond them
// is read at its first open, outside the view: name them all.
template <class Work> auto withSteadyView(const QStringList& fileNames, Work&& work)
{
    Run run;
    detail::takeSteadyView(run, fileNames);
    return work(run);
}

namespace testing {
// Called after a run has read a file, with the name the caller used: tests
// change the files between the reads of one run through it. Empty: none.
void setAfterFileRead(std::function<void(const QString& fileName)> hook);
// Called once a steady view is confirmed, before the work starts: tests
// save a file there, after the view is taken. Empty: none.
void setAfterViewTaken(std::function<void()> hook);
}  // namespace testing

}  // namespace ostelvia::db
