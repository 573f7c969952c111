// SPDX-License-Identifier: GPL-3.0-or-later
#include "checks/DateRoutines.h"

#include "text/Blanks.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace ostelvia::checks {

using text::trimBlanks;

std::array<int, 13> GiorniMese = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

namespace {

// Characters start..start+count-1 (0-based), or fewer when the text is short.
QStringView piece(QStringView text, qsizetype start, qsizetype count)
{
    return text.mid(start, count);
}

// A year piece as a signed 16-bit whole number, rounded half to even as the
// front office does; nothing when it does not fit.
std::optional<int> wholeYear(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<int>(rounded);
}

}  // namespace

void InizializzaGiorniMese()
{
    GiorniMese = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
}

double leadingNumber(QStringView text)
{
    std::string s;
    s.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        if (c != QLatin1Char(' '))
            s.push_back(c.unicode() < 128 ? static_cast<char>(c.unicode()) : '\x01');
    }

    // Longest prefix of the form [sign] digits [. digits] [e [sign] digits].
    std::size_t i = 0;
    const std::size_t n = s.size();
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const std::size_t mantissaStart = i;
    std::size_t digits = 0;
    while (i < n && s[i] >= '0' && s[i] <= '9') {
        ++i;
        ++digits;
    }
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    std::size_t end = i;
    bool negativeExponent = false;
    bool hasExponent = false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-')) {
            negativeExponent = s[j] == '-';
            ++j;
        }
        const std::size_t expDigits = j;
        while (j < n && s[j] >= '0' && s[j] <= '9')
            ++j;
        if (j > expDigits) {
            end = j;
            hasExponent = true;
        }
    }

    std::string number = s.substr(mantissaStart, end - mantissaStart);
    // from_chars does not take a leading '+' on the exponent.
    if (const auto e = number.find_first_of("eE");
        e != std::string::npos && e + 1 < number.size() && number[e + 1] == '+')
        number.erase(e + 1, 1);
    double value = 0;
    const auto [ptr, ec] =
        std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range)
        value = (hasExponent && negativeExponent) ? 0.0 : std::numeric_limits<double>::infinity();
    else if (ec != std::errc() || ptr != number.data() + number.size())
        value = 0;
    return negative ? -value : value;
}

QString PulisciCampo(QString& valore)
{
    valore = trimBlanks(valore);
    QString result;
    result.reserve(valore.size());
    for (QChar c : valore)
        result.append(c == QLatin1Char('\'') ? QChar(0x00B4) : c.toUpper());
    if (result.isEmpty())
        result = QStringLiteral(" ");
    return result;
}

QString NormalizzaData(QString& testoData)
{
    QString result = testoData;
    if (testoData.size() == 6) {
        const bool nineteen = leadingNumber(piece(testoData, 4, 2)) >= 20;
        result = piece(testoData, 0, 2).toString();
        result.append(QLatin1Char('/')).append(piece(testoData, 2, 2));
        result.append(nineteen ? QLatin1String("/19") : QLatin1String("/20")).append(piece(testoData, 4, 2));
    } else if (testoData.size() == 8) {
        result = piece(testoData, 0, 2).toString();
        result.append(QLatin1Char('/')).append(piece(testoData, 2, 2)).append(QLatin1Char('/'));
        result.append(piece(testoData, 4, 4));
    }
    testoData = result;
    return result;
}

int ControllaData(QString& testoData)
{
    const QString t = trimBlanks(testoData);
    if (t.size() != 10)
        return 0;
    testoData = t;

    const double day = leadingNumber(piece(t, 0, 2));
    const double month = leadingNumber(piece(t, 3, 2));
    const std::optional<int> year = wholeYear(leadingNumber(piece(t, 6, 4)));
    if (!year)
        return 0;
    if (month < 1 || *year < 1900 || month > 12)
        return 0;

    GiorniMese[2] = AnnoBisestile(*year) == 1 ? 29 : 28;
    // A two-character piece between 1 and 12 is always a whole number.
    const int m = static_cast<int>(month);
    if (day < 1 || day > GiorniMese[static_cast<std::size_t>(m)])
        return 0;
    return 1;
}

int ConfrontaDate(QString& prima, QString& seconda)
{
    prima = prima.left(10);
    seconda = seconda.left(10);

    const double day1 = leadingNumber(piece(prima, 0, 2));
    const double month1 = leadingNumber(piece(prima, 3, 2));
    const double year1 = leadingNumber(piece(prima, 6, 4));
    const double day2 = leadingNumber(piece(seconda, 0, 2));
    const double month2 = leadingNumber(piece(seconda, 3, 2));
    // The second year is taken as a whole number, the first as read.
    const double year2 = std::nearbyint(leadingNumber(piece(seconda, 6, 4)));

    const bool after =
        year1 > year2 || (year1 == year2 && month1 > month2) || (year1 == year2 && month1 == month2 && day1 > day2);
    return after ? 0 : 1;
}

int AnnoBisestile(int anno)
{
    return anno % 4 == 0 ? 1 : 0;
}

}  // namespace ostelvia::checks
