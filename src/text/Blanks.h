// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <algorithm>

namespace ostelvia::text {

// The view without its leading and trailing blanks (the space character
// only: tabs and other white space are data, as in the front-office program).
inline QStringView trimBlanks(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.sliced(first, last - first);
}

// The text without its leading and trailing blanks.
inline QString trimBlanks(const QString& text)
{
    const QStringView view(text);
    const QStringView trimmed = trimBlanks(view);
    return text.mid(trimmed.isNull() ? 0 : trimmed.data() - view.data(), trimmed.size());
}

// A line end or other control character, which would break a line of a
// file or of a report.
inline bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

// True when the text has a control character or half of a surrogate pair.
inline bool hasControlOrSurrogate(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return isControl(c) || c.isSurrogate(); });
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
