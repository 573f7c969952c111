// SPDX-License-Identifier: GPL-3.0-or-later
// The tax report as people and spreadsheets read it: the rows per month of
// departure and the total; a text table for the terminal with the rules and
// the stays that could not be computed; and the CSV: UTF-8 with a byte-order
// mark, ";" between fields, CR LF after each row, written aside and renamed
// into place, readable by its owner only.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

#include "export/TaxReport.h"

namespace ostelvia::exporter {

inline const QStringList kTaxColumns = {QStringLiteral("Mese"),          QStringLiteral("Soggiorni"),
                                        QStringLiteral("Pernottamenti"), QStringLiteral("Esenti residenti"),
                                        QStringLiteral("Esenti età"),    QStringLiteral("Oltre il massimo"),
                                        QStringLiteral("Imponibili"),    QStringLiteral("Imposta")};

// The stays behind the table, one row each: the month and the split of its
// nights, or "non calcolabile" in Esenzione when its dates cannot be computed.
inline const QStringList kStayColumns = {QStringLiteral("Archivio"),    QStringLiteral("Camera"),
                                         QStringLiteral("Progressivo"), QStringLiteral("Cliente"),
                                         QStringLiteral("Arrivo"),      QStringLiteral("Partenza"),
                                         QStringLiteral("Mese"),        QStringLiteral("Notti"),
                                         QStringLiteral("Esenzione"),   QStringLiteral("Oltre il massimo"),
                                         QStringLiteral("Imponibili"),  QStringLiteral("Imposta")};

// What Esenzione says of a stay.
inline const QString kEsenteResidente = QStringLiteral("residente");
inline const QString kEsenteEta = QStringLiteral("età");
inline const QString kNonCalcolabile = QStringLiteral("non calcolabile");

// The split of the taxable nights by tariff.
inline const QStringList kTariffColumns = {QStringLiteral("Tariffa"), QStringLiteral("Notti imponibili"),
                                           QStringLiteral("Imposta")};

// "MM/YYYY" of a month kept as year * 100 + month.
QString monthText(int month);

// One row per month of departure with a stay ("MM/YYYY", ascending), then
// "Totale"; the cells in the order of kTaxColumns.
std::vector<QStringList> taxRows(const TaxReport& report);

// A row of the table as the window and the print show it.
struct TaxTableRow {
    enum class Kind { Month, Quarter, Year, Total };
    Kind kind = Kind::Month;
    QStringList cells;  // in the order of kTaxColumns
};

// The rows of taxRows, with a subtotal after each quarter when the months
// span more than one, and after each year when they span more than one.
std::vector<TaxTableRow> taxTableRows(const TaxReport& report);

// One row per stay, in the order read, the cells in the order of kStayColumns.
std::vector<QStringList> stayRows(const TaxReport& report);
QStringList stayCells(const StayDetail& stay);

// One row per tariff charged, lowest first: the tariff, its nights, its tax.
std::vector<QStringList> tariffRows(const TaxCounts& counts);

// "Camera 101, scheda 1234: NAME (arrivo //, partenza 01/05/2024) in Scheda_Cliente.mdb"
QString uncomputedLine(const UncomputedStay& stay);

// The rules, the table with its columns aligned, and the stays that could
// not be computed, each line ended by "\n". periodo heads it.
QString taxText(const TaxReport& report, const QString& periodo);

QByteArray taxCsv(const TaxReport& report);

// Writes taxCsv to the path; FileError on failure.
void writeTaxCsv(const QString& path, const TaxReport& report);

QByteArray staysCsv(const TaxReport& report);
// Writes staysCsv as writeTaxCsv writes its file.
void writeStaysCsv(const QString& path, const TaxReport& report);

}  // namespace ostelvia::exporter
