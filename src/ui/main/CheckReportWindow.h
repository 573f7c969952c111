// SPDX-License-Identifier: GPL-3.0-or-later
// The report of the check of every card: the totals, a sortable table with
// one row per problem line (the columns of the CSV), and "&Salva CSV…",
// "S&tampa…", "&Chiudi". Dates and numbers sort by value.
#pragma once

#include <QDialog>

#include <functional>

#include "export/CardCheck.h"

class QLabel;
class QPrinter;
class QPushButton;
class QTableWidget;
class QCheckBox;
class QComboBox;
class QHBoxLayout;

namespace ostelvia::ui {

class CheckReportWindow : public QDialog {
    Q_OBJECT

public:
    // Asks where to save the CSV; an empty text cancels.
    using AskPath = std::function<QString(QWidget* parent)>;
    // Sets the printer up (the print dialog); false cancels.
    using AskPrinter = std::function<bool(QPrinter& printer, QWidget* parent)>;

    // periodo: the range as the clerk typed it, shown above the totals.
    CheckReportWindow(exporter::CheckReport report, const QString& periodo, QWidget* parent = nullptr);

    // The name the CSV save dialog proposes.
    void setCsvName(const QString& name) { csvName_ = name; }
    QString csvName() const { return csvName_; }

    void setAskPath(AskPath ask) { askPath_ = std::move(ask); }
    void setAskPrinter(AskPrinter ask) { askPrinter_ = std::move(ask); }

    QTableWidget* table() const { return table_; }
    QLabel* totalsLabel() const { return totals_; }
    // The current row's problem line and suggestions, whole.
    QLabel* detailLabel() const { return detail_; }
    QComboBox* sortColumnBox() const { return sortColumn_; }
    QCheckBox* descendingBox() const { return descending_; }
    QPushButton* saveCsvButton() const { return saveCsv_; }
    QPushButton* printButton() const { return print_; }
    QPushButton* closeButton() const { return close_; }

    // The report as printed: title, totals and the rows in the table's
    // current order.
    QString printableHtml() const;
    // The report with its problem lines in the table's current order, one
    // card entry per line: what "Salva CSV…" writes.
    exporter::CheckReport reportAsShown() const;

private:
    void saveCsv();
    void printReport();
    void showFailure(const QString& messaggio);
    QHBoxLayout* addSortByKeyboard();
    void showDetail(int row);

    exporter::CheckReport report_;
    QString period_;
    QString csvName_;
    AskPath askPath_;
    AskPrinter askPrinter_;
    QLabel* totals_;
    QTableWidget* table_;
    QComboBox* sortColumn_ = nullptr;
    QCheckBox* descending_ = nullptr;
    QLabel* detail_ = nullptr;
    QPushButton* saveCsv_;
    QPushButton* print_;
    QPushButton* close_;
};

}  // namespace ostelvia::ui
