// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/CheckOutput.h"

#include "export/PrivateFiles.h"
#include "export/TextFiles.h"
#include "text/Blanks.h"
#include "text/Csv.h"

namespace ostelvia::exporter {

namespace {

const QString kSuggestionSeparator = QStringLiteral(" | ");

}  // namespace

QString cardHeading(const CheckedCard& card)
{
    return QStringLiteral("Camera %1, scheda %2: %3 (arrivo %4, partenza %5) in %6")
        .arg(card.room, card.cardNumber, card.guestName, card.arrival, card.departure, card.database);
}

QString totalsLine(const CheckTotals& totals)
{
    if (totals.checked == 0)
        return QStringLiteral("Nessuna scheda nel periodo");
    const QString schede = totals.checked == 1 ? QStringLiteral("1 scheda controllata")
                                               : QStringLiteral("%1 schede controllate").arg(totals.checked);
    return QStringLiteral("%1, %2 con problemi, %3 record da esportare")
        .arg(schede)
        .arg(totals.withProblems)
        .arg(totals.wouldWrite);
}

QString checkText(const CheckReport& report)
{
    QString out;
    for (const CheckedCard& card : report.cards) {
        out += text::blankControls(cardHeading(card)) + QLatin1Char('\n');
        for (const CheckProblem& problem : card.problems) {
            out += text::blankControls(problem.text) + QLatin1Char('\n');
            if (!problem.suggestions.isEmpty())
                out += QStringLiteral("  forse: ") + text::blankControls(problem.suggestions.join(kSuggestionSeparator))
                    + QLatin1Char('\n');
        }
        out += QLatin1Char('\n');
    }
    return out + totalsLine(report.totals) + QLatin1Char('\n');
}

std::vector<QStringList> checkRows(const CheckReport& report)
{
    std::vector<QStringList> rows;
    for (const CheckedCard& card : report.cards) {
        for (const CheckProblem& problem : card.problems) {
            rows.push_back({card.database, card.room, card.cardNumber, card.guestName, card.arrival, card.departure,
                            problem.text, problem.suggestions.join(kSuggestionSeparator)});
        }
    }
    return rows;
}

QByteArray checkCsv(const CheckReport& report)
{
    return text::csvFile(kCheckColumns, checkRows(report));
}

void writeCheckCsv(const QString& path, const CheckReport& report)
{
    writeWholeFile(path, checkCsv(report));
}

}  // namespace ostelvia::exporter
