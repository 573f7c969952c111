// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringList>
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
    return text.mid(first, last - first);
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

// A value as a message quotes it: on one line, and not the whole of a value
// that runs on for pages.
inline QString shownInMessage(const QString& value)
{
    constexpr qsizetype kLongest = 60;
    const QString line = blankControls(value.left(kLongest + 1));
    return line.size() > kLongest ? line.left(kLongest) + QStringLiteral("…") : line;
}

// The text as a terminal should show it: every control character a blank
// (also the C1 range, which some terminals take as escapes), except the
// text's own line ends, `lineEnd`.
inline QString terminalText(const QString& text, QLatin1StringView lineEnd = QLatin1StringView("\n"))
{
    QStringList lines = text.split(lineEnd);
    for (QString& line : lines) {
        for (QChar& c : line) {
            if (isControl(c) || (c.unicode() >= 0x80 && c.unicode() <= 0x9F))
                c = QLatin1Char(' ');
        }
    }
    return lines.join(lineEnd);
}

}  // namespace ostelvia::text
