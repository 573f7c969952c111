// SPDX-License-Identifier: GPL-3.0-or-later
#include "checks/TypedRange.h"

#include <gtest/gtest.h>

using namespace ostelvia::checks;

TEST(TypedRange, DatesThatAreNotRealDaysAreNamed)
{
    EXPECT_TRUE(typedDateProblem(QStringLiteral("29/02/2024")).isEmpty());
    EXPECT_TRUE(typedDateProblem(QStringLiteral("29/02/2000")).isEmpty());
    EXPECT_EQ(typedDateProblem(QStringLiteral("29/02/2023")), QStringLiteral("il 29/02/2023 non esiste"));
    EXPECT_EQ(typedDateProblem(QStringLiteral("29/02/1900")), QStringLiteral("il 29/02/1900 non esiste"));
    EXPECT_EQ(typedDateProblem(QStringLiteral("31/04/2024")), QStringLiteral("il 31/04/2024 non esiste"));
    EXPECT_EQ(typedDateProblem(QStringLiteral("00/00/0000")),
              QStringLiteral("l'anno 0000 è fuori dall'intervallo ammesso"));
    EXPECT_EQ(typedDateProblem(QStringLiteral("01/13/2024")), QStringLiteral("il mese 13 non esiste"));
    for (const char* shapeless : {"1/1/2024", "garbage", "01-01-2024", "01/01/2024 ", "+1/01/2024"})
        EXPECT_TRUE(typedDateProblem(QString::fromLatin1(shapeless)).contains(QStringLiteral("GG/MM/AAAA")))
            << shapeless;
    EXPECT_TRUE(typedDateProblem(QString(200, QLatin1Char('9'))).size() < 120);
}

TEST(TypedRange, ProblemsAreTiedToTheirEnd)
{
    EXPECT_FALSE(typedRangeProblem(QStringLiteral("01/03/2024"), QStringLiteral("01/03/2024")));
    EXPECT_EQ(typedRangeProblem(QStringLiteral("1/3/2024"), QStringLiteral("31/3/2024")).end, RangeEnd::From);
    EXPECT_EQ(typedRangeProblem(QStringLiteral("01/03/2024"), QStringLiteral("31/02/2024")).end, RangeEnd::To);
    const RangeProblem backwards = typedRangeProblem(QStringLiteral("01/03/2024"), QStringLiteral("31/12/2023"));
    EXPECT_EQ(backwards.end, RangeEnd::To);
    EXPECT_EQ(backwards.reason, QStringLiteral("il 31/12/2023 è precedente alla prima data (01/03/2024)"));
}
