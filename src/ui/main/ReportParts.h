// SPDX-License-Identifier: GPL-3.0-or-later
// What the report windows (the check of every card, the tax report) share:
// the row of buttons they end with and their printing.
#pragma once

#include <QString>

class QDialog;
class QFont;
class QHBoxLayout;
class QLabel;
class QPrinter;
class QPushButton;
class QWidget;

namespace ostelvia::ui {

// "&Salva CSV…", "S&tampa…" and "&Chiudi" (which closes the window), right
// aligned in `row`. Enter presses none of them unless it has the focus.
struct ReportButtons {
    QPushButton* saveCsv;
    QPushButton* print;
    QPushButton* close;
    QHBoxLayout* row;
};
ReportButtons addReportButtons(QDialog* window);

// A line of the report's heading: plain text, whatever a card's data holds.
QLabel* reportLabel(const QString& text, const QString& objectName, bool bold, QWidget* parent);

// The save dialog for a CSV, proposing the name; empty when the clerk cancels.
QString chooseCsvPath(QWidget* parent, const QString& proposedName);

// The print dialog, titled "Stampa"; false when the clerk cancels.
bool choosePrinter(QPrinter& printer, QWidget* parent);

// Prints the HTML in the font; false when the printer failed.
bool printHtml(QPrinter& printer, const QString& html, const QFont& font);

}  // namespace ostelvia::ui
