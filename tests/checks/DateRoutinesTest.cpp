#include "checks/DateRoutines.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ostelvia::checks;

namespace {

int check(const QString& text)
{
    QString t = text;
    return ControllaData(t);
}

int compare(const QString& a, const QString& b)
{
    QString x = a;
    QString y = b;
    return ConfrontaDate(x, y);
}

QString normalised(const QString& text)
{
    QString t = text;
    return NormalizzaData(t);
}

}  // namespace

TEST(ValoreNumerico, ReadsTheLeadingNumberIgnoringBlanks)
{
    EXPECT_EQ(ValoreNumerico(QStringLiteral("08")), 8);
    EXPECT_EQ(ValoreNumerico(QStringLiteral("8/")), 8);
    EXPECT_EQ(ValoreNumerico(QStringLiteral(" 8")), 8);
    EXPECT_EQ(ValoreNumerico(QStringLiteral("2 0")), 20);
    EXPECT_EQ(ValoreNumerico(QStringLiteral("-3x")), -3);
    EXPECT_EQ(ValoreNumerico(QStringLiteral("+7")), 7);
    EXPECT_DOUBLE_EQ(ValoreNumerico(QStringLiteral("1.5")), 1.5);
    EXPECT_DOUBLE_EQ(ValoreNumerico(QStringLiteral(".5")), 0.5);
    EXPECT_EQ(ValoreNumerico(QStringLiteral("1e3")), 1000);
    EXPECT_EQ(ValoreNumerico(QStringLiteral("2E+2")), 200);
    EXPECT_DOUBLE_EQ(ValoreNumerico(QStringLiteral("5e-1")), 0.5);
}

TEST(ValoreNumerico, StopsAtTheFirstCharacterThatDoesNotFit)
{
    EXPECT_EQ(ValoreNumerico(QStringLiteral("a1")), 0);
    EXPECT_EQ(ValoreNumerico(QStringLiteral("")), 0);
    EXPECT_EQ(ValoreNumerico(QStringLiteral(".")), 0);
    EXPECT_EQ(ValoreNumerico(QStringLiteral("-")), 0);
    EXPECT_EQ(ValoreNumerico(QStringLiteral("1e")), 1);    // exponent without digits
    EXPECT_EQ(ValoreNumerico(QStringLiteral("12-3")), 12);
    EXPECT_EQ(ValoreNumerico(QStringLiteral("1.2.3")), 1.2);
    EXPECT_EQ(ValoreNumerico(QStringLiteral("\t5")), 0);  // only the space is a blank
    EXPECT_EQ(ValoreNumerico(QStringLiteral("３")), 0);   // digits are ASCII digits
    EXPECT_TRUE(std::isinf(ValoreNumerico(QStringLiteral("1e999"))));
    EXPECT_EQ(ValoreNumerico(QStringLiteral("1e-999")), 0);
}

TEST(PulisciCampo, TrimsTheCallersTextAndUpperCases)
{
    QString value = QStringLiteral("  l'aquila  ");
    EXPECT_EQ(PulisciCampo(value), QStringLiteral("L\u00B4AQUILA"));
    EXPECT_EQ(value, QStringLiteral("l'aquila"));

    value = QStringLiteral("forlì");
    EXPECT_EQ(PulisciCampo(value), QStringLiteral("FORLÌ"));

    // A tab is data, not a blank.
    value = QStringLiteral("\tab ");
    EXPECT_EQ(PulisciCampo(value), QStringLiteral("\tAB"));
    EXPECT_EQ(value, QStringLiteral("\tab"));

    // Upper-casing goes character by character, so the length holds.
    value = QStringLiteral("straße");
    EXPECT_EQ(PulisciCampo(value).size(), 6);
}

TEST(PulisciCampo, EmptyFieldGivesOneBlank)
{
    QString value = QStringLiteral("    ");
    EXPECT_EQ(PulisciCampo(value), QStringLiteral(" "));
    EXPECT_EQ(value, QString());

    value = QString();
    EXPECT_EQ(PulisciCampo(value), QStringLiteral(" "));
}

TEST(NormalizzaData, SixCharactersPickTheCenturyFromTheLastTwo)
{
    EXPECT_EQ(normalised(QStringLiteral("311219")), QStringLiteral("31/12/2019"));
    EXPECT_EQ(normalised(QStringLiteral("010100")), QStringLiteral("01/01/2000"));
    EXPECT_EQ(normalised(QStringLiteral("010199")), QStringLiteral("01/01/1999"));
    EXPECT_EQ(normalised(QStringLiteral("150620")), QStringLiteral("15/06/1920"));
    // 20 is the first year of the 1900s, whatever the day and month.
    EXPECT_EQ(normalised(QStringLiteral("010120")), QStringLiteral("01/01/1920"));
    // Not a check: separators typed in are cut at the fixed positions.
    EXPECT_EQ(normalised(QStringLiteral("1/1/20")), QStringLiteral("1//1//1920"));
}

TEST(NormalizzaData, EightCharactersAndOtherLengths)
{
    EXPECT_EQ(normalised(QStringLiteral("01012020")), QStringLiteral("01/01/2020"));
    EXPECT_EQ(normalised(QStringLiteral("1/1/2020")), QStringLiteral("1//1//2020"));
    EXPECT_EQ(normalised(QStringLiteral("01/01/2020")), QStringLiteral("01/01/2020"));
    EXPECT_EQ(normalised(QStringLiteral("1120")), QStringLiteral("1120"));
    EXPECT_EQ(normalised(QString()), QString());
    // No trimming: a blank counts in the length.
    EXPECT_EQ(normalised(QStringLiteral(" 010120")), QStringLiteral(" 010120"));
}

TEST(NormalizzaData, RewritesTheCallersText)
{
    QString text = QStringLiteral("31122019");
    const QString result = NormalizzaData(text);
    EXPECT_EQ(text, QStringLiteral("31/12/2019"));
    EXPECT_EQ(result, text);
}

TEST(ControllaData, ValidDates)
{
    EXPECT_EQ(check(QStringLiteral("29/02/2000")), 1);
    EXPECT_EQ(check(QStringLiteral("29/02/1900")), 1);  // every fourth year is a leap year
    EXPECT_EQ(check(QStringLiteral("31/12/2019")), 1);
    EXPECT_EQ(check(QStringLiteral("30/04/2020")), 1);
    EXPECT_EQ(check(QStringLiteral("01-01-2020")), 1);  // separators are not looked at
    EXPECT_EQ(check(QStringLiteral("01/01/1900")), 1);
    EXPECT_EQ(check(QStringLiteral("01/01/9999")), 1);
}

TEST(ControllaData, InvalidDates)
{
    EXPECT_EQ(check(QStringLiteral("29/02/2001")), 0);
    EXPECT_EQ(check(QStringLiteral("31/04/2020")), 0);
    EXPECT_EQ(check(QStringLiteral("00/01/2020")), 0);
    EXPECT_EQ(check(QStringLiteral("01/00/2020")), 0);
    EXPECT_EQ(check(QStringLiteral("01/13/2020")), 0);
    EXPECT_EQ(check(QStringLiteral("32/01/2020")), 0);
    EXPECT_EQ(check(QStringLiteral("01/01/1899")), 0);
    EXPECT_EQ(check(QStringLiteral("1/1/2020")), 0);
    EXPECT_EQ(check(QString()), 0);
    EXPECT_EQ(check(QStringLiteral("01/01/20201")), 0);
    EXPECT_EQ(check(QStringLiteral("aa/bb/cccc")), 0);
}

TEST(ControllaData, YearThatDoesNotFitSixteenBitsIsNotADate)
{
    EXPECT_EQ(check(QStringLiteral("01/01/9e99")), 0);
    EXPECT_EQ(check(QStringLiteral("01/01/4e04")), 0);  // 40000
    EXPECT_EQ(check(QStringLiteral("01/01/3e04")), 1);  // 30000 fits
}

TEST(ControllaData, TrimmedTextIsStoredBackOnlyWhenTenLong)
{
    QString text = QStringLiteral("  01/01/2020 ");
    EXPECT_EQ(ControllaData(text), 1);
    EXPECT_EQ(text, QStringLiteral("01/01/2020"));

    text = QStringLiteral(" 31/04/2020");
    EXPECT_EQ(ControllaData(text), 0);
    EXPECT_EQ(text, QStringLiteral("31/04/2020"));

    text = QStringLiteral(" 1/1/2020 ");
    EXPECT_EQ(ControllaData(text), 0);
    EXPECT_EQ(text, QStringLiteral(" 1/1/2020 "));
}

TEST(GiorniMese, StartsFilledAndOnlyFebruaryChanges)
{
    // Other tests may have run ControllaData; February is the only entry it touches.
    const std::array<int, 13> expected = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (std::size_t m = 1; m <= 12; ++m) {
        if (m != 2) {
            EXPECT_EQ(GiorniMese[m], expected[m]) << "month " << m;
        }
    }

    GiorniMese.fill(-1);
    InizializzaGiorniMese();
    for (std::size_t m = 1; m <= 12; ++m)
        EXPECT_EQ(GiorniMese[m], expected[m]) << "month " << m;
}

TEST(GiorniMese, FebruaryIsRewrittenOnEveryCallThatReachesIt)
{
    InizializzaGiorniMese();
    EXPECT_EQ(check(QStringLiteral("29/02/2000")), 1);
    EXPECT_EQ(GiorniMese[2], 29);
    EXPECT_EQ(check(QStringLiteral("29/02/2001")), 0);
    EXPECT_EQ(GiorniMese[2], 28);

    // A leap year seen by a date of another month still sets February.
    EXPECT_EQ(check(QStringLiteral("15/07/2024")), 1);
    EXPECT_EQ(GiorniMese[2], 29);

    // A call that fails before the month table leaves February alone.
    EXPECT_EQ(check(QStringLiteral("01/13/2001")), 0);
    EXPECT_EQ(GiorniMese[2], 29);
    EXPECT_EQ(check(QStringLiteral("01/01/1899")), 0);
    EXPECT_EQ(GiorniMese[2], 29);
    InizializzaGiorniMese();
}

TEST(ConfrontaDate, OrdersByYearThenMonthThenDay)
{
    EXPECT_EQ(compare(QStringLiteral("01/02/2020"), QStringLiteral("31/01/2020")), 0);
    EXPECT_EQ(compare(QStringLiteral("31/01/2020"), QStringLiteral("01/02/2020")), 1);
    EXPECT_EQ(compare(QStringLiteral("01/01/2020"), QStringLiteral("01/01/2020")), 1);
    EXPECT_EQ(compare(QStringLiteral("31/12/2019"), QStringLiteral("01/01/2020")), 1);
    EXPECT_EQ(compare(QStringLiteral("01/01/2021"), QStringLiteral("31/12/2020")), 0);
    EXPECT_EQ(compare(QStringLiteral("02/03/2020"), QStringLiteral("01/03/2020")), 0);
    // A later day does not count when the month is earlier.
    EXPECT_EQ(compare(QStringLiteral("30/03/2020"), QStringLiteral("01/04/2020")), 1);
}

TEST(ConfrontaDate, CutsBothToTenCharactersWithoutChecking)
{
    QString first = QStringLiteral("01/02/2020 and more");
    QString second = QStringLiteral("31/01/20201");
    EXPECT_EQ(ConfrontaDate(first, second), 0);
    EXPECT_EQ(first, QStringLiteral("01/02/2020"));
    EXPECT_EQ(second, QStringLiteral("31/01/2020"));

    // Dates that do not exist are compared as read.
    EXPECT_EQ(compare(QStringLiteral("31/02/2019"), QStringLiteral("30/02/2019")), 0);
    EXPECT_EQ(compare(QString(), QStringLiteral("01/01/2020")), 1);
}

TEST(AnnoBisestile, EveryFourthYearWithoutCenturyRule)
{
    EXPECT_EQ(AnnoBisestile(2000), 1);
    EXPECT_EQ(AnnoBisestile(1900), 1);
    EXPECT_EQ(AnnoBisestile(2100), 1);
    EXPECT_EQ(AnnoBisestile(2024), 1);
    EXPECT_EQ(AnnoBisestile(2001), 0);
    EXPECT_EQ(AnnoBisestile(2023), 0);
    EXPECT_EQ(AnnoBisestile(2022), 0);
}
