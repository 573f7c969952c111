#include "db/TableSource.h"

namespace ostelvia::db::detail {

namespace {

class MemorySource final : public TableSource {
public:
    explicit MemorySource(std::vector<TableData> tables) : tables_(std::move(tables)) {}

    QString findTable(const QString& name) const override
    {
        const TableData* t = find(name);
        return t ? t->name : QString();
    }

    void readTable(const QString& storedName, const std::function<void(const std::vector<SourceColumn>&)>& onColumns,
                   const std::function<void(const std::vector<Cell>&)>& onRow) override
    {
        const TableData* t = find(storedName);
        if (!t)
            throw SourceFailure{QStringLiteral("la tabella non esiste")};
        std::vector<SourceColumn> columns;
        for (const Column& c : t->columns)
            columns.push_back({c.name, c.type});
        onColumns(columns);
        std::vector<Cell> cells(columns.size());
        std::vector<QByteArray> texts(columns.size());
        for (const auto& row : t->rows) {
            for (size_t i = 0; i < columns.size(); ++i) {
                Cell cell;
                if (i < row.size()) {
                    const Value& v = row[i];
                    cell.kind = v.kind();
                    if (v.kind() == Value::Kind::Integer)
                        cell.integer = v.toText().toLongLong();
                    else if (v.kind() == Value::Kind::Real)
                        cell.real = v.toNumber();
                    else if (v.kind() == Value::Kind::Text) {
                        texts[i] = v.toText().toUtf8();
                        cell.text = std::string_view(texts[i].constData(), static_cast<size_t>(texts[i].size()));
                    }
                }
                cells[i] = cell;
            }
            onRow(cells);
        }
    }

private:
    const TableData* find(const QString& name) const
    {
        for (const TableData& t : tables_)
            if (t.name.compare(name, Qt::CaseInsensitive) == 0)
                return &t;
        return nullptr;
    }

    std::vector<TableData> tables_;
};

}  // namespace

std::unique_ptr<TableSource> memorySource(std::vector<TableData> tables)
{
    return std::make_unique<MemorySource>(std::move(tables));
}

}  // namespace ostelvia::db::detail
