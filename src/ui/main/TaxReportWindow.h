// SPDX-License-Identifier: GPL-3.0-or-later
// The tax report of the typed range: the rules it was counted with, a table
// with one row per month of departure and the total, the stays that could
// not be computed, and "Salva CSV…", "Stampa…", "Chiudi". It remembers its
// size between uses.
#pragma once

#include <QDialog>

#include <functional>

#include "export/TaxReport.h"

class QLabel;
class QListWidget;
class QPrinter;
class QPushButton;
class QTableWidget;

namespace ostelvia::ui {

class TaxReportWindow : public QDialog {
    Q_OBJECT

public:
    // Asks where to save the CSV; an empty text cancels.
    using AskPath = std::function<QString(QWidget* parent)>;
    // Sets the printer up (the print dialog); false cancels.
    using AskPrinter = std::function<bool(QPrinter& printer, QWidget* parent)>;

    // periodo: the range as the clerk typed it, shown above the rules.
    TaxReportWindow(exporter::TaxReport report, const QString& periodo, QWidget* parent = nullptr);

    void setAskPath(AskPath ask) { askPath_ = std::move(ask); }
    void setAskPrinter(AskPrinter ask) { askPrinter_ = std::move(ask); }

    QTableWidget* table() const { return table_; }
    QLabel* rulesLabel() const { return rules_; }
    QListWidget* uncomputedList() const { return uncomputed_; }
    QPushButton* saveCsvButton() const { return saveCsv_; }
    QPushButton* printButton() const { return print_; }
    QPushButton* closeButton() const { return close_; }

    // The report as printed: title, range, rules, the table with its
    // headings repeated on every page, the stays not computed.
    QString printableHtml() const;

private:
    void saveCsv();
    void printReport();

    exporter::TaxReport report_;
    QString period_;
    AskPath askPath_;
    AskPrinter askPrinter_;
    QLabel* rules_;
    QTableWidget* table_;
    QListWidget* uncomputed_;
    QPushButton* saveCsv_;
    QPushButton* print_;
    QPushButton* close_;
};

}  // namespace ostelvia::ui
