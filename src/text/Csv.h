// SPDX-License-Identifier: GPL-3.0-or-later
// Rows of a CSV file for a spreadsheet, whose cells stay plain text: every
// cell quoted (quotes doubled), control characters as blanks, and a cell
// that a spreadsheet would take for a formula led by an apostrophe.
#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

#include <vector>

namespace ostelvia::text {

// The cell's text as a spreadsheet should show it: "=", "+", "-", "@", a tab
// or a CR at the start get an apostrophe before them, then control
// characters become blanks. Not quoted.
QString neutralCsvText(const QString& value);

// Appends one row: the cells neutral and quoted, `separator` between them,
// CR LF after the last.
void appendCsvRow(QString& csv, const QStringList& cells, QChar separator = QLatin1Char(';'));

// A whole file for a spreadsheet: UTF-8 with a byte-order mark, the header
// row, then the rows, each as appendCsvRow writes it.
QByteArray csvFile(const QStringList& header, const std::vector<QStringList>& rows);

}  // namespace ostelvia::text
