// SPDX-License-Identifier: GPL-3.0-or-later
// One run of the tool (an export, a check, a code list, a window command)
// and the one view of the front-office files it reads.
//
// The front office may write while a run reads: a guest checked out between
// the reading of the current guests and of the history would be in both.
// A run therefore reads each file once, whole, at its first open, and before
// its result counts confirms that none of the files it read has changed on
// disk since (confirmView): then every file was, at that moment, as it was
// read, and the run saw one state of them all. withSteadyView() takes the
// view again when the files changed, a few times, before giving up.
#pragma once

#include <QHash>
#include <QLatin1String>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <type_traits>

#include "db/Database.h"

namespace ostelvia::db {

// A file the run read has changed on disk since: what the run saw may mix
// two states of the front office's files. withSteadyView() takes the view
// again; elsewhere it is a failure like any other.
class ViewChanged : public DbError {
public:
    explicit ViewChanged(const QString& fileName);
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

    // The file as this run read it at its first open: later opens in the run
    // get the same bytes and what was built on them (the copies in SQLite,
    // their indexes, the prepared queries). Throws DbError, and ViewChanged
    // when the file changed while it was read.
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
    std::map<QString, ReadFile> files_;                            // by absolute path
    QHash<QString, std::shared_ptr<detail::DatabaseFile>> names_;  // by the name as the caller wrote it
    QHash<const LookUpQuestion*, QHash<QString, std::optional<Value>>> answers_;
};

// The message when the files kept changing through every attempt.
extern const QString kFilesKeptChanging;

// The files kept changing attempt after attempt (kFilesKeptChanging): the
// user is asked to try the same again in a few seconds.
class FilesKeptChanging : public DbError {
public:
    FilesKeptChanging() : DbError(kFilesKeptChanging) { }
};

namespace detail {
// Waits before attempt number `attempt` (from 1) of a view; false when the
// attempts are over.
bool waitBeforeAttempt(int attempt);
}  // namespace detail

// Runs `work(run)` on a fresh run and confirms its view; when the files
// changed meanwhile, waits a little and runs it again, for a couple of
// seconds at most, then throws FilesKeptChanging. `work` must be
// safe to run again: whatever it wrote, it writes anew.
template <class Work> auto withSteadyView(Work&& work)
{
    for (int attempt = 1;; ++attempt) {
        try {
            Run run;
            try {
                if constexpr (std::is_void_v<decltype(work(run))>) {
                    work(run);
                    run.confirmView();
                    return;
                } else {
                    auto result = work(run);
                    run.confirmView();
                    return result;
                }
            } catch (const ViewChanged&) {
                throw;
            } catch (const Error&) {
                // A failure over a view that changed may come of the change.
                run.confirmView();
                throw;
            }
        } catch (const ViewChanged&) {
            if (!detail::waitBeforeAttempt(attempt + 1))
                throw FilesKeptChanging();
        }
    }
}

namespace testing {
// Called after a run has read a file, with the name the caller used: tests
// change the files between the reads of one run through it. Empty: none.
void setAfterFileRead(std::function<void(const QString& fileName)> hook);
}  // namespace testing

}  // namespace ostelvia::db
