// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/TableSource.h"

namespace ostelvia::db::detail {

namespace {

class MemorySource final : public TableSource {
public:
    explicit MemorySource(std::vector<TableData> tables) : tables_(std::move(tables)) { }

    QString findTable(const QString& name) const override
    {
        const TableData* t = find(name);
        return t ? t->name : QString();
    }

    std::vector<SourceColumn> columns(const QString& storedName) override
    {
        std::vector<SourceColumn> columns;
        for (const Column& c : table(storedName).columns)
            columns.push_back({c.name, c.type});
        return columns;
    }

    std::int64_t expectedRows(const QString& storedName) override
    {
        return static_cast<std::int64_t>(table(storedName).rows.size());
    }

    void scan(const QString& storedName, const std::vector<int>& wanted, const RowCallback& onRow) override
    {
        const TableData& t = table(storedName);
        for (const auto& row : t.rows)
            hand(row, wanted, onRow);
    }

    void readRow(const QString& storedName, std::int64_t row, const std::vector<int>& wanted,
                 const RowCallback& onRow) override
    {
        const TableData& t = table(storedName);
        if (row < 0 || static_cast<size_t>(row) >= t.rows.size())
            throw SourceFailure{QStringLiteral("la riga non esiste")};
        hand(t.rows[static_cast<size_t>(row)], wanted, onRow);
    }

private:
    static void hand(const std::vector<Value>& row, const std::vector<int>& wanted, const RowCallback& onRow)
    {
        std::vector<Cell> cells(wanted.size());
        std::vector<QByteArray> texts(wanted.size());
        for (size_t i = 0; i < wanted.size(); ++i) {
            const size_t at = static_cast<size_t>(wanted[i]);
            if (at >= row.size())
                continue;
            const Value& v = row[at];
            Cell& cell = cells[i];
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
        onRow(cells);
    }

    const TableData& table(const QString& storedName) const
    {
        const TableData* t = find(storedName);
        if (!t)
            throw SourceFailure{QStringLiteral("la tabella non esiste")};
        return *t;
    }

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
