// SPDX-License-Identifier: GPL-3.0-or-later
// Totals of the lines about to be sent: what the clerk compares with the
// municipality's portal before pressing "Invia".
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <map>

namespace ostelvia::exporter {

struct Totals {
    int records = 0;
    int guests = 0;  // distinct people: same surname, name and date of birth
    qint64 nights = 0;
};

struct LineTotals {
    Totals all;
    std::map<QString, Totals> byMonth;  // key "yyyy-mm" of the departure
    // Lines that are neither the header nor a readable record, each named
    // "riga N: reason" (N counted from 1, as the clerk sees the list).
    QStringList unreadable;
};

// The record lines among `lines` whose index is in `rows` (all lines when
// rows is null).
LineTotals computeTotals(const QStringList& lines, const QVector<int>* rows = nullptr);

// "05/2024" for the key "2024-05".
QString monthLabel(const QString& key);

}  // namespace ostelvia::exporter
