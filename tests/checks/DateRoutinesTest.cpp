// SPDX-License-Identifier: GPL-3.0-or-later
#include "checks/DateRoutines.h"
#include "checks/CardValidation.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ostelvia::checks;

namespace {

int check(const QString& text)
{
    QString t = text;
    return ControllaData(t);
}

template <typename Result> struct Row {
    const char* input;
    Result expected;
};

}  // namespace

TEST(LeadingNumber, ReadsTheLeadingNumberUpToTheFirstCharacterThatDoesNotFit)
{
    const Row<double> rows[] = {
        {"08", 8},   {"8/", 8},     {" 8", 8},      {"2 0", 20},   {"-3x", -3}, {"+7", 7}, {"1.5", 1.5},
        {".5", 0.5}, {"1e3", 1000}, {"2E+2", 200},  {"5e-1", 0.5}, {"a1", 0},   {"", 0},   {".", 0},
        {"-", 0},    {"12-3", 12},  {"1.2.3", 1.2}, {"1e-999", 0}, {"1e", 1},  // exponent without digits
        {"\t5", 0},                                                            // only the space is a blank
        {"３", 0},                                                             // digits are ASCII digits
    };
    for (const auto& [input, expected] : rows)
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromUtf8(input)), expected) << input;
    EXPECT_TRUE(std::isinf(leadingNumber(QStringLiteral("1e999"))));
}

TEST(PulisciCampo, TrimsTheCallersTextAndUpperCases)
{
    struct Case {
        const char* input;
        const char* result;
        const char* storedBack;
    };
    const Case cases[] = {
        {"  l'aquila  ", "L\u00B4AQUILA", "l'aquila"},
        {"forlì", "FORLÌ", "forlì"},
        {"\tab ", "\tAB", "\tab"},  // a tab is data, not a blank
        {"    ", " ", ""},          // an empty field gives one blank
        {"", " ", ""},
    };
    for (const Case& c : cases) {
        QString value = QString::fromUtf8(c.input);
        EXPECT_EQ(PulisciCampo(value), QString::fromUtf8(c.result)) << c.input;
        EXPECT_EQ(value, QString::fromUtf8(c.storedBack)) << c.input;
    }
    // Upper-casing goes character by character, so the length holds.
    QString value = QStringLiteral("straße");
    EXPECT_EQ(PulisciCampo(value).size(), 6);
}

TEST(NormalizzaData, RewritesSixAndEightCharacterDatesInPlace)
{
    const Row<const char*> rows[] = {
        {"311219", "31/12/2019"},
        {"010100", "01/01/2000"},
        {"010199", "01/01/1999"},
        {"150620", "15/06/1920"},
        {"010120", "01/01/1920"},  // 20 is the first year of the 1900s, whatever the day and month
        {"1/1/20", "1//1//1920"},  // not a check: separators are cut at the fixed positions
        {"01012020", "01/01/2020"},
        {"1/1/2020", "1//1//2020"},
        {"01/01/2020", "01/01/2020"},
        {"1120", "1120"},
        {"", ""},
        {" 010120", " 010120"},  // no trimming: a blank counts in the length
    };
    for (const auto& [input, expected] : rows) {
        QString text = QString::fromUtf8(input);
        const QString result = NormalizzaData(text);
        EXPECT_EQ(result, QString::fromUtf8(expected)) << input;
        EXPECT_EQ(text, result) << input;
    }
}

TEST(ControllaData, ValidAndInvalidDates)
{
    const Row<int> rows[] = {
        {"29/02/2000", 1},
        {"31/12/2019", 1},
        {"30/04/2020", 1},
        {"01/01/1900", 1},
        {"01/01/9999", 1},
        {"29/02/1900", 1},  // every fourth year is a leap year
        {"01-01-2020", 1},  // separators are not looked at
        {"29/02/2001", 0},
        {"31/04/2020", 0},
        {"00/01/2020", 0},
        {"01/00/2020", 0},
        {"01/13/2020", 0},
        {"32/01/2020", 0},
        {"01/01/1899", 0},
        {"1/1/2020", 0},
        {"", 0},
        {"01/01/20201", 0},
        {"aa/bb/cccc", 0},
        // The year must fit sixteen bits.
        {"01/01/9e99", 0},
        {"01/01/4e04", 0},
        {"01/01/3e04", 1},
    };
    for (const auto& [input, expected] : rows)
        EXPECT_EQ(check(QString::fromUtf8(input)), expected) << input;
}

TEST(ControllaData, TrimmedTextIsStoredBackOnlyWhenTenLong)
{
    struct Case {
        const char* input;
        int valid;
        const char* storedBack;
    };
    const Case cases[] = {
        {"  01/01/2020 ", 1, "01/01/2020"}, {" 31/04/2020", 0, "31/04/2020"}, {" 1/1/2020 ", 0, " 1/1/2020 "}};
    for (const Case& c : cases) {
        QString text = QString::fromUtf8(c.input);
        EXPECT_EQ(ControllaData(text), c.valid) << c.input;
        EXPECT_EQ(text, QString::fromUtf8(c.storedBack)) << c.input;
    }
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
    // A leap year seen by a date of another month still sets February; a
    // call that fails before the month table leaves it alone.
    const struct {
        const char* date;
        int valid;
        int february;
    } steps[] = {{"29/02/2000", 1, 29},
                 {"29/02/2001", 0, 28},
                 {"15/07/2024", 1, 29},
                 {"01/13/2001", 0, 29},
                 {"01/01/1899", 0, 29}};
    for (const auto& s : steps) {
        EXPECT_EQ(check(QString::fromUtf8(s.date)), s.valid) << s.date;
        EXPECT_EQ(GiorniMese[2], s.february) << s.date;
    }
    InizializzaGiorniMese();
}

TEST(ConfrontaDate, OrdersByYearThenMonthThenDayWithoutChecking)
{
    // 1 when the first date is not after the second.
    const struct {
        const char* first;
        const char* second;
        int result;
    } rows[] = {
        {"01/02/2020", "31/01/2020", 0}, {"31/01/2020", "01/02/2020", 1}, {"01/01/2020", "01/01/2020", 1},
        {"31/12/2019", "01/01/2020", 1}, {"01/01/2021", "31/12/2020", 0}, {"02/03/2020", "01/03/2020", 0},
        {"30/03/2020", "01/04/2020", 1},  // a later day does not count when the month is earlier
        {"31/02/2019", "30/02/2019", 0},  // dates that do not exist are compared as read
        {"", "01/01/2020", 1},
    };
    for (const auto& r : rows) {
        QString first = QString::fromUtf8(r.first);
        QString second = QString::fromUtf8(r.second);
        EXPECT_EQ(ConfrontaDate(first, second), r.result) << r.first << " / " << r.second;
    }

    // Both are cut to ten characters in the caller's text.
    QString first = QStringLiteral("01/02/2020 and more");
    QString second = QStringLiteral("31/01/20201");
    EXPECT_EQ(ConfrontaDate(first, second), 0);
    EXPECT_EQ(first, QStringLiteral("01/02/2020"));
    EXPECT_EQ(second, QStringLiteral("31/01/2020"));
}

TEST(AnnoBisestile, EveryFourthYearWithoutCenturyRule)
{
    for (int year : {2000, 1900, 2100, 2024})
        EXPECT_EQ(AnnoBisestile(year), 1) << year;
    for (int year : {2001, 2023, 2022})
        EXPECT_EQ(AnnoBisestile(year), 0) << year;
}

TEST(StoredToTyped, TakesCharactersByPositionWhateverTheLength)
{
    const std::pair<const char*, const char*> cases[] = {
        {"20240315", "15/03/2024"},   {"2024031", "1/03/2024"}, {"202403", "/03/2024"}, {"20", "//20"}, {"", "//"},
        {"2024031599", "15/03/2024"},
    };
    for (const auto& [stored, typed] : cases)
        EXPECT_EQ(ostelvia::checks::storedToTyped(QString::fromLatin1(stored)), QLatin1String(typed)) << stored;
}
