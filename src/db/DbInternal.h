// SPDX-License-Identifier: GPL-3.0-or-later
// The engine behind Database.h: handles and record sets over the loaded
// files of DatabaseFile.h. Engine internals.
#pragma once

#include "db/Database.h"
#include "db/DatabaseFile.h"
#include "db/FileSignature.h"

#include <QString>

#include <memory>

namespace ostelvia::db {

namespace detail {

// The test tables registered for a bare file name, freshly loaded; null
// when there are none.
std::shared_ptr<DatabaseFile> memoryDatabase(const QString& fileName);

// The absolute path of a bare file name and its signature now. Throws
// DbError naming the file when it is not there or cannot be read.
QString locate(const QString& fileName, FileSignature* signature);

// Reads the file at `path` whole, failing when its bytes are not those the
// signature describes (changed meanwhile). Throws SourceFailure.
std::shared_ptr<DatabaseFile> loadFile(const QString& path, const FileSignature& signature);

// A file that could not be opened, named as the caller wrote it.
DbError openFailure(const QString& fileName, const QString& reason);

}  // namespace detail

// One open handle: Database::close() marks it closed for every record set
// opened through it, while the loaded file stays with the run's other handles.
class LoadedDatabase {
public:
    std::shared_ptr<detail::DatabaseFile> file;
    QString fileName;  // as the caller wrote it, for messages
    bool closed = false;
};

class RecordsetState {
public:
    std::shared_ptr<LoadedDatabase> handle;
    std::shared_ptr<detail::SetData> set;
    size_t position = 0;  // == rowids.size() when there is no current row
    bool noMatch = false;
    detail::RowPtr row;  // null until a field of the current row is read
};

}  // namespace ostelvia::db
