// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace ostelvia::text {

// Removes leading and trailing blanks (the space character only: tabs and
// other white space are data, as in the front-office program).
inline QString trimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

}  // namespace ostelvia::text
