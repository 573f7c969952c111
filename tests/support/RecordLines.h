// SPDX-License-Identifier: GPL-3.0-or-later
// Export record lines made up in a test: 776 characters with the fields
// that a case cares about set, the rest blank.
#pragma once

#include <QString>

#include <initializer_list>
#include <utility>

#include "RecordLayout.h"

namespace ostelvia::test {

inline QString recordLine(std::initializer_list<std::pair<int, QString>> fields)
{
    QString line(776, QLatin1Char(' '));
    for (const auto& [number, value] : fields) {
        const auto [start, width] = kRecordFields[number];
        line.replace(start - 1, width, value.leftJustified(width, QLatin1Char(' '), true));
    }
    return line;
}

// A guest's stay: component, card number, surname and name, birth date, dates.
inline QString stayLine(int component, int card, const QString& surname, const QString& name, const QString& arrival,
                        const QString& departure, const QString& birth = QStringLiteral("19750412"))
{
    return recordLine({{1, QString::number(component).rightJustified(7, QLatin1Char('0'))},
                       {2, arrival},
                       {4, arrival},
                       {5, departure},
                       {8, QString::number(card).rightJustified(10, QLatin1Char('0'))},
                       {13, surname},
                       {14, name},
                       {16, birth}});
}

}  // namespace ostelvia::test
