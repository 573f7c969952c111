// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <algorithm>

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

// A line end or other control character, which would break a line of a
// file or of a report.
inline bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

// The text with its control characters as blanks.
inline QString blankControls(QString text)
{
    // Writing through a shared text would copy it: only for a text that has one.
    if (std::none_of(text.cbegin(), text.cend(), isControl))
        return text;
    for (QChar& c : text) {
        if (isControl(c))
            c = QLatin1Char(' ');
    }
    return text;
}

}  // namespace ostelvia::text
