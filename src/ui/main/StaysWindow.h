// SPDX-License-Identifier: GPL-3.0-or-later
// "Soggiorni…" of the tax report: the stays behind its figures, one per row
// as the stays CSV has them, sortable by any column (by value: dates, numbers
// and amounts as such), filtered by month of departure and by exemption,
// saved as CSV and printed as they are shown.
#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>
#include <vector>

#include "export/TaxReport.h"

class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

namespace ostelvia::ui {

class StaysFilter;

class StaysWindow : public QDialog {
    Q_OBJECT

public:
    using AskPath = std::function<QString(QWidget* parent)>;
    using AskPrinter = std::function<bool(QPrinter& printer, QWidget* parent)>;

    StaysWindow(const exporter::TaxReport& report, const QString& periodo, QWidget* parent = nullptr);

    void setCsvName(const QString& name) { csvName_ = name; }
    void setAskPath(AskPath ask) { askPath_ = std::move(ask); }
    void setAskPrinter(AskPrinter ask) { askPrinter_ = std::move(ask); }

    QTableView* table() const { return table_; }
    QComboBox* monthFilter() const { return month_; }
    QComboBox* exemptionFilter() const { return exemption_; }
    QLabel* countLabel() const { return count_; }
    QPushButton* saveCsvButton() const { return saveCsv_; }
    QPushButton* printButton() const { return print_; }

    // The rows as shown: filtered, in the table's order.
    std::vector<QStringList> shownRows() const;
    QString printableHtml() const;

private:
    void applyFilters();
    void saveCsv();
    void printStays();

    QString period_;
    QString csvName_;
    AskPath askPath_;
    AskPrinter askPrinter_;
    QStandardItemModel* model_;
    StaysFilter* filter_;
    QTableView* table_;
    QComboBox* month_;
    QComboBox* exemption_;
    QLabel* count_;
    QPushButton* saveCsv_;
    QPushButton* print_;
};

}  // namespace ostelvia::ui
