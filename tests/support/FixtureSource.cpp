// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureSource.h"

#include "TestSupport.h"

#include <stdexcept>

namespace ostelvia::test {

namespace {

QString unescapeCell(const QString& cell)
{
    if (cell == QLatin1String("\\N"))
        return cell;
    QString out;
    for (qsizetype i = 0; i < cell.size(); ++i) {
        if (cell.at(i) != QLatin1Char('\\') || i + 1 == cell.size()) {
            out += cell.at(i);
            continue;
        }
        const QChar next = cell.at(++i);
        if (next == QLatin1Char('t'))
            out += QLatin1Char('\t');
        else if (next == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (next == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else
            out += next;
    }
    return out;
}

}  // namespace

std::vector<SourceRow> readSource(const QString& database, const QString& table, const QString& dataset)
{
    const QString path =
        fixtureDir(dataset) + QStringLiteral("/src/") + database + QLatin1Char('/') + table + QStringLiteral(".tsv");
    const QStringList lines = QString::fromUtf8(readBytes(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.isEmpty())
        throw std::runtime_error("missing fixture source " + path.toStdString());
    QStringList columns;
    for (const QString& header : lines.first().split(QLatin1Char('\t')))
        columns.append(header.section(QLatin1Char(':'), 0, 0));
    std::vector<SourceRow> rows;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList cells = lines.at(i).split(QLatin1Char('\t'));
        SourceRow row;
        for (qsizetype c = 0; c < columns.size() && c < cells.size(); ++c)
            row[columns.at(c)] = unescapeCell(cells.at(c));
        rows.push_back(std::move(row));
    }
    return rows;
}

SourceRow cardByLabel(const QString& database, const QString& label)
{
    for (const SourceRow& row : readSource(database, QStringLiteral("Scheda_Cliente"))) {
        const auto note = row.find(QStringLiteral("Note"));
        if (note != row.end() && note->second.startsWith(label + QLatin1Char(':')))
            return row;
        // C33's Note is Null on purpose; it is the one card known by its name.
        if (label == QLatin1String("C33") && row.at(QStringLiteral("NomeCliente")) == QLatin1String("CATTANEO DAVIDE"))
            return row;
    }
    throw std::runtime_error("no card " + label.toStdString() + " in " + database.toStdString());
}

db::TableData guestTable(const std::vector<SourceRow>& cards)
{
    static const QStringList numberColumns = {QStringLiteral("NumeroHotel"),        QStringLiteral("NumeroProgressivo"),
                                              QStringLiteral("NumeroComponente"),   QStringLiteral("CodIDS"),
                                              QStringLiteral("CodiceCapoFamiglia"), QStringLiteral("CodiceCapoGruppo")};
    db::TableData table;
    table.name = QStringLiteral("Scheda_Cliente");
    const std::vector<SourceRow> source =
        readSource(QStringLiteral("Scheda_Cliente"), QStringLiteral("Scheda_Cliente"));
    for (const auto& [column, cell] : source.front())
        table.columns.push_back(
            {column, numberColumns.contains(column) ? db::Column::Type::Integer : db::Column::Type::Text});
    for (const SourceRow& card : cards) {
        std::vector<db::Value> row;
        for (const db::Column& column : table.columns) {
            const QString& cell = card.at(column.name);
            if (cell == QLatin1String("\\N"))
                row.emplace_back();
            else if (column.type == db::Column::Type::Integer)
                row.push_back(db::Value::integer(cell.toLongLong()));
            else
                row.push_back(db::Value::text(cell));
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

}  // namespace ostelvia::test
