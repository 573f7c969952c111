// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Run.h"

#include "db/DbInternal.h"

#include <array>
#include <chrono>
#include <thread>

namespace ostelvia::db {

const QString kFilesKeptChanging = QStringLiteral(
    "I file del programma di ricevimento sono cambiati durante la lettura: riprovare tra qualche secondo");

namespace {

std::function<void(const QString&)>& afterFileRead()
{
    static std::function<void(const QString&)> hook;
    return hook;
}

}  // namespace

ViewChanged::ViewChanged(const QString& fileName)
    : DbError(QStringLiteral("Il database \"%1\" è cambiato durante la lettura: riprovare tra qualche secondo.")
                  .arg(fileName))
{ }

struct Run::ReadFile {
    QString fileName;  // as the caller first wrote it
    std::shared_ptr<detail::DatabaseFile> file;
    detail::FileSignature signature;
};

Run::Run() = default;
Run::~Run() = default;

Database Run::open(const QString& fileName)
{
    if (auto known = names_.constFind(fileName); known != names_.constEnd())
        return Database(known.value(), fileName);
    std::shared_ptr<detail::DatabaseFile> file = detail::memoryDatabase(fileName);
    if (!file) {
        detail::FileSignature signature;
        const QString path = detail::locate(fileName, &signature);
        if (auto same = files_.find(path); same != files_.end()) {
            file = same->second.file;  // the same file by another spelling
        } else {
            try {
                file = detail::loadFile(path, signature);
            } catch (const detail::SourceFailure& failure) {
                if (failure.changedWhileRead)
                    throw ViewChanged(fileName);
                throw detail::openFailure(fileName, failure.reason);
            }
            files_.emplace(path, ReadFile{fileName, file, signature});
        }
    }
    names_.insert(fileName, file);
    if (afterFileRead())
        afterFileRead()(fileName);
    return Database(file, fileName);
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

}  // namespace detail

namespace testing {

void setAfterFileRead(std::function<void(const QString& fileName)> hook)
{
    afterFileRead() = std::move(hook);
}

}  // namespace testing

}  // namespace ostelvia::db
