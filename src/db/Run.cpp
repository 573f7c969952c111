// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Run.h"

#include "db/DbInternal.h"

#include <array>
#include <chrono>
#include <thread>

namespace ostelvia::db {

QString fileKeptChanging(const QString& fileName)
{
    return QStringLiteral("Il file \"%1\" continua a cambiare: il programma di ricevimento lo sta salvando. "
                          "Riprovare tra qualche secondo.")
        .arg(fileName);
}

namespace {

std::function<void(const QString&)>& afterFileRead()
{
    static std::function<void(const QString&)> hook;
    return hook;
}

std::function<void()>& afterViewTaken()
{
    static std::function<void()> hook;
    return hook;
}

}  // namespace

ViewChanged::ViewChanged(const QString& fileName)
    : DbError(QStringLiteral("Il database \"%1\" è cambiato durante la lettura: riprovare tra qualche secondo.")
                  .arg(fileName)),
      fileName_(fileName)
{ }

struct Run::ReadFile {
    QString fileName;                            // as the caller first wrote it
    std::shared_ptr<detail::DatabaseFile> file;  // null when it could not be read
    detail::FileSignature signature;
    QString failure;  // why it could not be read
};

Run::Run() = default;
Run::~Run() = default;

void Run::takeView(const QStringList& fileNames)
{
    files_.clear();
    failures_.clear();
    names_.clear();
    answers_.clear();
    for (const QString& fileName : fileNames) {
        try {
            open(fileName);
        } catch (const ViewChanged&) {
            throw;
        } catch (const DbError& error) {
            // Reported where the work opens it, as without a view: a run
            // that never gets that far must not fail on it.
            failures_.insert(fileName, error.message());
        }
    }
    // A file that failed because it was being written shows here too.
    confirmView();
}

Database Run::open(const QString& fileName)
{
    if (auto known = names_.constFind(fileName); known != names_.constEnd())
        return Database(known.value(), fileName);
    if (auto failed = failures_.constFind(fileName); failed != failures_.constEnd())
        throw DbError(failed.value());
    std::shared_ptr<detail::DatabaseFile> file = read(fileName);
    names_.insert(fileName, file);
    if (afterFileRead())
        afterFileRead()(fileName);
    return Database(file, fileName);
}

std::shared_ptr<detail::DatabaseFile> Run::read(const QString& fileName)
{
    if (std::shared_ptr<detail::DatabaseFile> memory = detail::memoryDatabase(fileName))
        return memory;
    detail::FileSignature signature;
    const QString path = detail::locate(fileName, &signature);
    if (auto same = files_.find(path); same != files_.end()) {
        // The same file by another spelling.
        if (!same->second.file)
            throw detail::openFailure(fileName, same->second.failure);
        return same->second.file;
    }
    try {
        std::shared_ptr<detail::DatabaseFile> file = detail::loadFile(path, signature);
        files_.emplace(path, ReadFile{fileName, file, signature, {}});
        return file;
    } catch (const detail::SourceFailure& failure) {
        if (failure.changedWhileRead)
            throw ViewChanged(fileName);
        files_.emplace(path, ReadFile{fileName, nullptr, signature, failure.reason});
        throw detail::openFailure(fileName, failure.reason);
    }
}

std::optional<Value> Run::lookUp(const LookUpQuestion& question, const QString& value)
{
    QHash<QString, std::optional<Value>>& answers = answers_[&question];
    if (auto known = answers.constFind(value); known != answers.constEnd())
        return known.value();
    std::optional<Value> answer =
        open(question.file).lookUp(question.set, quotedCriteria(question.criteriaPrefix, value), question.field);
    // A history of names all different must not grow the answers without end.
    constexpr qsizetype kMaxAnswers = 16384;
    if (answers.size() >= kMaxAnswers)
        answers.clear();
    answers.insert(value, answer);
    return answer;
}

void Run::confirmView() const
{
    for (const auto& [path, read] : files_) {
        detail::FileSignature now;
        if (detail::statSignature(path, &now) || !(now == read.signature))
            throw ViewChanged(read.fileName);
    }
}

namespace detail {

bool waitBeforeAttempt(int attempt)
{
    // About two seconds in all: a front office saves a card in well under that.
    static constexpr std::array<int, 5> kWaitsMs = {100, 200, 300, 500, 800};
    if (attempt < 2 || attempt - 2 >= static_cast<int>(kWaitsMs.size()))
        return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(kWaitsMs[static_cast<size_t>(attempt - 2)]));
    return true;
}

void takeSteadyView(Run& run, const QStringList& fileNames)
{
    for (int attempt = 1;; ++attempt) {
        try {
            run.takeView(fileNames);
            break;
        } catch (const ViewChanged& changed) {
            if (!waitBeforeAttempt(attempt + 1))
                throw FilesKeptChanging(changed.fileName());
        }
    }
    if (afterViewTaken())
        afterViewTaken()();
}

}  // namespace detail

namespace testing {

void setAfterFileRead(std::function<void(const QString& fileName)> hook)
{
    afterFileRead() = std::move(hook);
}

void setAfterViewTaken(std::function<void()> hook)
{
    afterViewTaken() = std::move(hook);
}

}  // namespace testing

}  // namespace ostelvia::db
