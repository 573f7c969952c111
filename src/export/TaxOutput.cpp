// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/TaxOutput.h"

#include <algorithm>
#include <iterator>

#include "export/PrivateFiles.h"
#include "text/Blanks.h"
#include "text/Csv.h"

namespace ostelvia::exporter {

namespace {

// An empty date is said to be missing, not shown as "//".
QString shownStayDate(const QString& date)
{
    return date.isEmpty() ? QStringLiteral("mancante") : date;
}

QStringList cells(const QString& label, const TaxCounts& counts)
{
    return {label,
            QString::number(counts.stays),
            QString::number(counts.nights),
            QString::number(counts.exemptResidents),
            QString::number(counts.exemptAge),
            QString::number(counts.overLimit),
            QString::number(counts.taxable),
            eurosText(counts.cents)};
}

QString exemptionText(const TaxCounts& counts)
{
    if (counts.exemptResidents > 0)
        return kEsenteResidente;
    return counts.exemptAge > 0 ? kEsenteEta : QString();
}

// The aligned text of a table: the first column to the left, the others to
// the right, two blanks between them.
QString alignedTable(const QStringList& header, std::vector<QStringList> rows)
{
    rows.insert(rows.begin(), header);
    std::vector<qsizetype> widths(static_cast<size_t>(header.size()), 0);
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[static_cast<size_t>(i)] = std::max<qsizetype>(widths[static_cast<size_t>(i)], row.at(i).size());
    }
    QString out;
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i) {
            const auto width = static_cast<int>(widths[static_cast<size_t>(i)]);
            line += i == 0 ? row.at(i).leftJustified(width) : QStringLiteral("  ") + row.at(i).rightJustified(width);
        }
        out += line + QLatin1Char('\n');
    }
    return out;
}

}  // namespace

QString monthText(int month)
{
    return QStringLiteral("%1/%2").arg(month % 100, 2, 10, QLatin1Char('0')).arg(month / 100);
}

QStringList stayCells(const StayDetail& stay)
{
    QStringList row = {stay.database, stay.room, stay.cardNumber, stay.guestName, stay.arrival, stay.departure};
    if (!stay.computed)
        return row << QString() << QString() << kNonCalcolabile << QString() << QString() << QString();
    return row << monthText(stay.month) << QString::number(stay.counts.nights) << exemptionText(stay.counts)
               << QString::number(stay.counts.overLimit) << QString::number(stay.counts.taxable)
               << eurosText(stay.counts.cents);
}

std::vector<QStringList> stayRows(const TaxReport& report)
{
    std::vector<QStringList> rows;
    rows.reserve(report.stays.size());
    for (const StayDetail& stay : report.stays)
        rows.push_back(stayCells(stay));
    return rows;
}

std::vector<QStringList> tariffRows(const TaxCounts& counts)
{
    std::vector<QStringList> rows;
    for (const auto& [tariff, share] : counts.byTariff)
        rows.push_back({eurosText(tariff), QString::number(share.nights), eurosText(share.cents)});
    return rows;
}

std::vector<TaxTableRow> taxTableRows(const TaxReport& report)
{
    const auto quarterOf = [](int month) { return month / 100 * 10 + (month % 100 - 1) / 3; };
    const bool severalQuarters =
        !report.months.empty() && quarterOf(report.months.begin()->first) != quarterOf(report.months.rbegin()->first);
    const bool severalYears =
        !report.months.empty() && report.months.begin()->first / 100 != report.months.rbegin()->first / 100;
    std::vector<TaxTableRow> rows;
    TaxCounts quarter;
    TaxCounts year;
    for (auto month = report.months.begin(); month != report.months.end(); ++month) {
        rows.push_back({TaxTableRow::Kind::Month, cells(monthText(month->first), month->second)});
        quarter += month->second;
        year += month->second;
        const auto next = std::next(month);
        const bool lastOfQuarter = next == report.months.end() || quarterOf(next->first) != quarterOf(month->first);
        const bool lastOfYear = next == report.months.end() || next->first / 100 != month->first / 100;
        if (severalQuarters && lastOfQuarter) {
            const QString label =
                QStringLiteral("%1° trimestre %2").arg((month->first % 100 - 1) / 3 + 1).arg(month->first / 100);
            rows.push_back({TaxTableRow::Kind::Quarter, cells(label, quarter)});
            quarter = TaxCounts();
        }
        if (severalYears && lastOfYear) {
            rows.push_back({TaxTableRow::Kind::Year, cells(QStringLiteral("Anno %1").arg(month->first / 100), year)});
            year = TaxCounts();
        }
    }
    rows.push_back({TaxTableRow::Kind::Total, cells(QStringLiteral("Totale"), report.total)});
    return rows;
}

std::vector<QStringList> taxRows(const TaxReport& report)
{
    std::vector<QStringList> rows;
    for (const auto& [month, counts] : report.months)
        rows.push_back(cells(monthText(month), counts));
    rows.push_back(cells(QStringLiteral("Totale"), report.total));
    return rows;
}

QString uncomputedLine(const UncomputedStay& stay)
{
    return text::blankControls(QStringLiteral("Camera %1, scheda %2: %3 (arrivo %4, partenza %5) in %6")
                                   .arg(stay.room, stay.cardNumber, stay.guestName, shownStayDate(stay.arrival),
                                        shownStayDate(stay.departure), stay.database));
}

QString taxText(const TaxReport& report, const QString& periodo)
{
    QString out = QStringLiteral("Rendiconto dell'imposta di soggiorno\n") + periodo + QLatin1Char('\n');
    for (const QString& line : describeTaxRules(report.rules))
        out += line + QLatin1Char('\n');
    out += QLatin1Char('\n');
    out += alignedTable(kTaxColumns, taxRows(report));
    if (!report.total.byTariff.empty())
        out += QStringLiteral("\nNotti imponibili per tariffa (euro a persona per notte):\n")
            + alignedTable(kTariffColumns, tariffRows(report.total));

    if (!report.uncomputed.empty()) {
        out += QStringLiteral("\nSoggiorni non calcolabili (date mancanti o errate), non contati: %1\n")
                   .arg(report.uncomputed.size());
        for (const UncomputedStay& stay : report.uncomputed)
            out += uncomputedLine(stay) + QLatin1Char('\n');
    }
    return out;
}

QByteArray taxCsv(const TaxReport& report)
{
    return text::csvFile(kTaxColumns, taxRows(report));
}

void writeTaxCsv(const QString& path, const TaxReport& report)
{
    writeWholeFile(path, taxCsv(report));
}

QByteArray staysCsv(const TaxReport& report)
{
    return text::csvFile(kStayColumns, stayRows(report));
}

void writeStaysCsv(const QString& path, const TaxReport& report)
{
    writeWholeFile(path, staysCsv(report));
}

}  // namespace ostelvia::exporter
