// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <algorithm>
#include <cstdint>
#include <cstring>

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

// Four characters, all printable ASCII.
inline bool printableAscii(const char16_t* four)
{
    std::uint64_t word;
    std::memcpy(&word, four, sizeof word);
    constexpr std::uint64_t lanes = 0x0001000100010001u;
    // Every character below 0x80; then adding 0x60 carries into bit 7
    // exactly from 0x20 up, and adding 1 exactly at 0x7F.
    return (word & (0xFF80 * lanes)) == 0 && ((word + 0x60 * lanes) & (0x80 * lanes)) == 0x80 * lanes
        && ((word + lanes) & (0x80 * lanes)) == 0;
}

// True when the text has a control character or half of a surrogate pair.
// Printable ASCII, nearly every character of a record, is passed over four
// characters at a time.
inline bool hasControlOrSurrogate(QStringView text)
{
    const auto* chars = reinterpret_cast<const char16_t*>(text.data());
    const qsizetype size = text.size();
    qsizetype at = 0;
    while (at < size) {
        if (at + 4 <= size && printableAscii(chars + at)) {
            at += 4;
            continue;
        }
        const QChar c(chars[at++]);
        if (isControl(c) || c.isSurrogate())
            return true;
    }
    return false;
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
