// SPDX-License-Identifier: GPL-3.0-or-later
// The engine behind Database.h: handles and record sets over the loaded
// files of DatabaseFile.h. Engine internals.
#pragma once

#include "db/Database.h"
#include "db/DatabaseFile.h"

#include <QString>

#include <memory>

namespace ostelvia::db {

namespace detail {

// The loaded file behind a bare file name, as Database::open finds it
// (memory databases first, then the cache, then the disk). Throws DbError.
std::shared_ptr<DatabaseFile> openFile(const QString& fileName);

}  // namespace detail

// One open handle: Database::close() marks it closed for every record set
// opened through it, while the loaded file stays cached for other handles.
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
