// Where table contents come from: a Jet file read through libmdb, or tables
// held in memory (tests). Engine internals.
#pragma once

#include "db/Database.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace ostelvia::db::detail {

// One value of a row as the source hands it over; text is UTF-8 and only
// valid during the row callback.
struct Cell {
    Value::Kind kind = Value::Kind::Null;
    std::int64_t integer = 0;
    double real = 0;
    std::string_view text;
};

struct SourceColumn {
    QString name;
    Column::Type type = Column::Type::Text;
};

// Thrown by sources; reason is a short Italian text.
struct SourceFailure {
    QString reason;
};

class TableSource {
public:
    virtual ~TableSource() = default;

    // The stored name of a table, matched without regard to letter case;
    // empty when there is none.
    virtual QString findTable(const QString& name) const = 0;

    // Reads a whole table in stored order: first its columns, then every row.
    virtual void readTable(const QString& storedName,
                           const std::function<void(const std::vector<SourceColumn>&)>& onColumns,
                           const std::function<void(const std::vector<Cell>&)>& onRow) = 0;
};

// Opens a Jet file read-only. Throws SourceFailure when it is no database
// libmdb can read.
std::unique_ptr<TableSource> openJetFile(const QString& path);

std::unique_ptr<TableSource> memorySource(std::vector<TableData> tables);

}  // namespace ostelvia::db::detail
