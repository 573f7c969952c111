// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/SendTotals.h"

#include "export/RecordLayout.h"

#include <QDate>

#include <set>

namespace ostelvia::exporter {

namespace {

QDate storedDate(const QString& text)
{
    return QDate::fromString(text, QStringLiteral("yyyyMMdd"));
}

struct Counter {
    Totals totals;
    std::set<QString> people;

    void add(const QString& person, qint64 nights)
    {
        ++totals.records;
        totals.nights += nights;
        if (people.insert(person).second)
            ++totals.guests;
    }
};

// Why a line cannot be counted, or "" for a record that can.
QString unreadableReason(const QString& line, const ParsedLine& parsed, const QDate& arrival, const QDate& departure)
{
    if (!parsed.isRecord())
        return QStringLiteral("%1 caratteri invece di 776").arg(line.size());
    if (!arrival.isValid())
        return QStringLiteral("data di arrivo non valida (%1)").arg(parsed.at(fieldNo::Arrivo));
    if (!departure.isValid())
        return QStringLiteral("data di partenza non valida (%1)").arg(parsed.at(fieldNo::Partenza));
    if (departure < arrival)
        return QStringLiteral("partenza prima dell'arrivo");
    return {};
}

}  // namespace

LineTotals computeTotals(const QStringList& lines, const QVector<int>* rows)
{
    Counter all;
    std::map<QString, Counter> months;
    LineTotals result;

    const qsizetype count = rows ? rows->size() : lines.size();
    for (qsizetype i = 0; i < count; ++i) {
        const int row = rows ? rows->at(i) : static_cast<int>(i);
        if (row < 0 || row >= lines.size())
            continue;
        const QString& line = lines.at(row);
        const ParsedLine parsed = parseLine(line);
        if (parsed.kind == ParsedLine::Kind::Header)
            continue;
        const QDate arrival = parsed.isRecord() ? storedDate(parsed.at(fieldNo::Arrivo)) : QDate();
        const QDate departure = parsed.isRecord() ? storedDate(parsed.at(fieldNo::Partenza)) : QDate();
        const QString reason = unreadableReason(line, parsed, arrival, departure);
        if (!reason.isEmpty()) {
            result.unreadable.append(QStringLiteral("riga %1: %2").arg(row + 1).arg(reason));
            continue;
        }
        const QString person = parsed.at(fieldNo::Cognome) + parsed.at(fieldNo::Nome) + parsed.at(fieldNo::Nascita);
        const qint64 nights = arrival.daysTo(departure);
        all.add(person, nights);
        months[departure.toString(QStringLiteral("yyyy-MM"))].add(person, nights);
    }
    result.all = all.totals;
    for (const auto& [month, counter] : months)
        result.byMonth[month] = counter.totals;
    return result;
}

QString monthLabel(const QString& key)
{
    return key.size() == 7 ? key.mid(5, 2) + QLatin1Char('/') + key.left(4) : key;
}

}  // namespace ostelvia::exporter
