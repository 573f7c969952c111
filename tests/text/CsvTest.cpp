// SPDX-License-Identifier: GPL-3.0-or-later
// Guests' data in a spreadsheet's CSV and on a terminal stays plain text: no
// cell runs as a formula, no control character reaches either.
#include <gtest/gtest.h>

#include "text/Blanks.h"
#include "text/Csv.h"

namespace ostelvia::text {
namespace {

TEST(NeutralText, CsvCellsThatWouldRunAsAFormulaAreLedByAnApostrophe)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("=2*3+SUM(1)"), QStringLiteral("'=2*3+SUM(1)")},
        {QStringLiteral("+39 055 123"), QStringLiteral("'+39 055 123")},
        {QStringLiteral("-2+3"), QStringLiteral("'-2+3")},
        {QStringLiteral("@SUM(A1)"), QStringLiteral("'@SUM(A1)")},
        {QStringLiteral("\t=1"), QStringLiteral("' =1")},
        {QStringLiteral("\r=1"), QStringLiteral("' =1")},
        // Only the first character counts; quotes are doubled, control
        // characters anywhere are blanks.
        {QStringLiteral("ROSSI = MARIO"), QStringLiteral("ROSSI = MARIO")},
        {QStringLiteral("D'ANGELO \"Ciro\"\x1b[2J\n"), QStringLiteral("D'ANGELO \"\"Ciro\"\" [2J ")},
        {QString(), QString()},
    };
    for (const auto& [cell, shown] : cases) {
        SCOPED_TRACE(cell.toStdString());
        QString row;
        appendCsvRow(row, {QStringLiteral("1"), cell});
        EXPECT_EQ(row, QStringLiteral("\"1\";\"%1\"\r\n").arg(shown));
    }
    QString tabbed;
    appendCsvRow(tabbed, {QStringLiteral("=A1"), QStringLiteral("b")}, QLatin1Char('\t'));
    EXPECT_EQ(tabbed, QStringLiteral("\"'=A1\"\t\"b\"\r\n"));
}

TEST(NeutralText, TerminalTextKeepsItsOwnLineEndsAndBlanksEveryOtherControl)
{
    const QString name = QStringLiteral("ROSSI\x1b]0;x\x07\r\x08\u009b31m MARIO");
    EXPECT_EQ(terminalText(QStringLiteral("Nome (%1) X\r\nSesso () X\r\n").arg(name), QLatin1StringView("\r\n")),
              QStringLiteral("Nome (ROSSI ]0;x    31m MARIO) X\r\nSesso () X\r\n"));
    // Lines ended by LF alone: a CR before one is data.
    EXPECT_EQ(terminalText(QStringLiteral("a\r\nb\n")), QStringLiteral("a \nb\n"));
}

}  // namespace
}  // namespace ostelvia::text
