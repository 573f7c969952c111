// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/SendTotals.h"

#include "export/PresenceRecord.h"
#include "export/RecordLayout.h"

#include <QDate>
#include <QSet>

namespace ostelvia::exporter {

namespace {

// A field of a record by its place in the line, without copying it.
QStringView fieldView(const QString& line, int number)
{
    const RecordField& f = recordLayout()[static_cast<size_t>(number - 1)];
    return QStringView(line).mid(f.start - 1, f.width);
}

// yyyymmdd read digit by digit: a format-driven parse costs more than the
// rest of the count over a two-year list.
QDate storedDate(QStringView text)
{
    if (text.size() != 8)
        return {};
    int value[3] = {0, 0, 0};
    for (qsizetype i = 0; i < 8; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return {};
        int& part = value[i < 4 ? 0 : (i < 6 ? 1 : 2)];
        part = part * 10 + (c - u'0');
    }
    return QDate(value[0], value[1], value[2]);
}

bool isHeader(const QString& line)
{
    QStringView header(line);
    while (header.endsWith(QLatin1Char(' ')))
        header.chop(1);
    return header == QStringView(kHeaderLine).trimmed();
}

struct Counter {
    Totals totals;
    // Hashed: the people of a two-year list share long runs of blanks,
    // which an ordered set compares again at every step.
    QSet<QString> people;

    void add(const QString& person, qint64 nights)
    {
        ++totals.records;
        totals.nights += nights;
        const qsizetype before = people.size();
        people.insert(person);
        if (people.size() != before)
            ++totals.guests;
    }
};

// Why a line cannot be counted, or "" for a record that can.
QString unreadableReason(const QString& line, const QDate& arrival, const QDate& departure)
{
    if (line.size() != kRecordLength)
        return QStringLiteral("%1 caratteri invece di 776").arg(line.size());
    if (!arrival.isValid())
        return QStringLiteral("data di arrivo non valida (%1)").arg(fieldView(line, fieldNo::Arrivo));
    if (!departure.isValid())
        return QStringLiteral("data di partenza non valida (%1)").arg(fieldView(line, fieldNo::Partenza));
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
        if (isHeader(line))
            continue;
        const bool record = line.size() == kRecordLength;
        const QDate arrival = record ? storedDate(fieldView(line, fieldNo::Arrivo)) : QDate();
        const QDate departure = record ? storedDate(fieldView(line, fieldNo::Partenza)) : QDate();
        const QString reason = unreadableReason(line, arrival, departure);
        if (!reason.isEmpty()) {
            result.unreadable.append(QStringLiteral("riga %1: %2").arg(row + 1).arg(reason));
            continue;
        }
        QString person;
        for (int field : {fieldNo::Cognome, fieldNo::Nome, fieldNo::Nascita})
            person.append(fieldView(line, field));
        const qint64 nights = arrival.daysTo(departure);
        all.add(person, nights);
        const QStringView partenza = fieldView(line, fieldNo::Partenza);
        QString month = partenza.left(4).toString();
        month.append(QLatin1Char('-')).append(partenza.mid(4, 2));
        months[month].add(person, nights);
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
