// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/SendTotals.h"

#include "RecordLines.h"

#include <gtest/gtest.h>

using namespace ostelvia;
using namespace ostelvia::exporter;
using test::stayLine;

namespace {

const QString kRossi = QStringLiteral("ROSSI");
const QString kMario = QStringLiteral("MARIO");

QStringList sampleLines()
{
    return {
        QStringLiteral("TBPRES01      "),
        // ROSSI MARIO twice: 3 nights in April, 2 across the month end.
        stayLine(1, 24000001, kRossi, kMario, QStringLiteral("20240413"), QStringLiteral("20240416")),
        stayLine(1, 24000002, kRossi, kMario, QStringLiteral("20240430"), QStringLiteral("20240502")),
        // Same name, another birth date: another guest; a day stay is 0 nights.
        stayLine(2, 24000002, kRossi, kMario, QStringLiteral("20240501"), QStringLiteral("20240501"),
                 QStringLiteral("20010101")),
        stayLine(1, 24000003, kRossi, kMario, QStringLiteral("20240501"), QStringLiteral("20240507")).left(500),
        stayLine(1, 24000004, QStringLiteral("BIANCHI"), QStringLiteral("ANNA"), QStringLiteral("20240501"),
                 QStringLiteral("20241301")),
        stayLine(1, 24000005, QStringLiteral("VERDI"), QStringLiteral("LUCA"), QStringLiteral("20240505"),
                 QStringLiteral("20240503")),
    };
}

}  // namespace

TEST(SendTotals, RecordsGuestsAndNightsPerMonthOfDeparture)
{
    const LineTotals t = computeTotals(sampleLines());
    EXPECT_EQ(t.all.records, 3);
    EXPECT_EQ(t.all.guests, 2);
    EXPECT_EQ(t.all.nights, 5);
    ASSERT_EQ(t.byMonth.size(), 2u);
    const Totals april = t.byMonth.at(QStringLiteral("2024-04"));
    const Totals may = t.byMonth.at(QStringLiteral("2024-05"));
    EXPECT_EQ(april.records, 1);
    EXPECT_EQ(april.nights, 3);
    EXPECT_EQ(may.records, 2);
    EXPECT_EQ(may.guests, 2);
    EXPECT_EQ(may.nights, 2);
    EXPECT_EQ(t.unreadable,
              (QStringList{QStringLiteral("riga 5: 500 caratteri invece di 776"),
                           QStringLiteral("riga 6: data di partenza non valida (20241301)"),
                           QStringLiteral("riga 7: partenza prima dell'arrivo")}));
}

TEST(SendTotals, OnlyTheChosenRowsCount)
{
    const QStringList lines = sampleLines();
    const struct {
        QVector<int> rows;
        int records, guests;
        qint64 nights;
        qsizetype unreadable;
    } cases[] = {
        {{}, 0, 0, 0, 0},     {{0}, 0, 0, 0, 0},  // the header is neither a record nor unreadable
        {{1, 2}, 2, 1, 5, 0}, {{2, 3, 4}, 2, 2, 2, 1}, {{3, 99, -1}, 1, 1, 0, 0},  // rows past the list are ignored
    };
    for (const auto& c : cases) {
        const LineTotals t = computeTotals(lines, &c.rows);
        EXPECT_EQ(t.all.records, c.records) << c.rows.size();
        EXPECT_EQ(t.all.guests, c.guests) << c.rows.size();
        EXPECT_EQ(t.all.nights, c.nights) << c.rows.size();
        EXPECT_EQ(t.unreadable.size(), c.unreadable) << c.rows.size();
    }
    EXPECT_EQ(monthLabel(QStringLiteral("2024-05")), QStringLiteral("05/2024"));
}
