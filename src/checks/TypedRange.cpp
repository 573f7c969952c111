// SPDX-License-Identifier: GPL-3.0-or-later
#include "checks/TypedRange.h"

namespace ostelvia::checks {

namespace {

constexpr int kMaxShownChars = 60;

bool isDigits(QStringView piece)
{
    for (const QChar c : piece)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return !piece.isEmpty();
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int month, int year)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// "yyyymmdd", which orders as the calendar does.
QString sortable(const QString& date)
{
    return date.mid(6, 4) + date.mid(3, 2) + date.left(2);
}

QString quoted(const QString& text)
{
    QString shown = text.left(kMaxShownChars);
    for (QChar& c : shown)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return QLatin1Char('"') + shown + (text.size() > kMaxShownChars ? QStringLiteral("…\"") : QStringLiteral("\""));
}

}  // namespace

QString typedDateProblem(const QString& text)
{
    if (text.isEmpty())
        return QStringLiteral("manca la data (GG/MM/AAAA)");
    const bool shaped = text.size() == 10 && text[2] == QLatin1Char('/') && text[5] == QLatin1Char('/')
        && isDigits(QStringView(text).mid(0, 2)) && isDigits(QStringView(text).mid(3, 2))
        && isDigits(QStringView(text).mid(6, 4));
    if (!shaped)
        return QStringLiteral("%1 non è una data nella forma GG/MM/AAAA").arg(quoted(text));
    const int day = text.left(2).toInt();
    const int month = text.mid(3, 2).toInt();
    const int year = text.mid(6, 4).toInt();
    if (year < 1900)
        return QStringLiteral("l'anno %1 è fuori dall'intervallo ammesso").arg(text.mid(6, 4));
    if (month < 1 || month > 12)
        return QStringLiteral("il mese %1 non esiste").arg(text.mid(3, 2));
    if (day < 1 || day > daysInMonth(month, year))
        return QStringLiteral("il %1 non esiste").arg(text);
    return {};
}

RangeProblem typedRangeProblem(const QString& from, const QString& to)
{
    if (QString reason = typedDateProblem(from); !reason.isEmpty())
        return {RangeEnd::From, reason};
    if (QString reason = typedDateProblem(to); !reason.isEmpty())
        return {RangeEnd::To, reason};
    if (sortable(to) < sortable(from))
        return {RangeEnd::To, QStringLiteral("il %1 è precedente alla prima data (%2)").arg(to, from)};
    return {};
}

}  // namespace ostelvia::checks
