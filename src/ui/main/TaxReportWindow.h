// SPDX-License-Identifier: GPL-3.0-or-later
// The tax report of the typed range: the rules it was counted with, a table
// with one row per month of departure (with quarter and year subtotals when
// the months span more than one quarter) and the total, the taxed nights by
// tariff, the stays that could not be computed, and "Soggiorni…" (the stays
// behind the figures), "Salva CSV…", "Stampa…", "Chiudi". It remembers its
// size between uses.
#pragma once

#include <QDate>
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
    // The name the CSV save dialog proposes.
    void setCsvName(const QString& name) { csvName_ = name; }
    QString csvName() const { return csvName_; }
    // When the report is printed, for the line at the foot of the pages.
    void setPrintDate(const QDate& date) { printDate_ = date; }
    void setAskPrinter(AskPrinter ask) { askPrinter_ = std::move(ask); }

    const exporter::TaxReport& report() const { return report_; }
    QString period() const { return period_; }
    QTableWidget* table() const { return table_; }
    QTableWidget* tariffTable() const { return tariffs_; }
    QPushButton* staysButton() const { return stays_; }
    QLabel* rulesLabel() const { return rules_; }
    QListWidget* uncomputedList() const { return uncomputed_; }
    QPushButton* saveCsvButton() const { return saveCsv_; }
    QPushButton* printButton() const { return print_; }
    QPushButton* closeButton() const { return close_; }

    // The report as printed: title, range, rules, the table with its
    // headings repeated on every page and what "Soggiorni" counts, the
    // nights by tariff, the stays not computed.
    QString printableHtml() const;
    // The foot of every printed page: when it was printed.
    QString printFooter() const;

private:
    void saveCsv();
    void printReport();
    void showStays();

    exporter::TaxReport report_;
    QString period_;
    QString csvName_;
    QDate printDate_;
    AskPath askPath_;
    AskPrinter askPrinter_;
    QLabel* rules_;
    QTableWidget* table_;
    QTableWidget* tariffs_;
    QListWidget* uncomputed_;
    QPushButton* stays_;
    QPushButton* saveCsv_;
    QPushButton* print_;
    QPushButton* close_;
};

}  // namespace ostelvia::ui
