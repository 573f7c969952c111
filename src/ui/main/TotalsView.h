// SPDX-License-Identifier: GPL-3.0-or-later
// "Riepilogo": the totals of the selected lines and of all lines, the
// number the clerk compares with the municipality's portal before sending.
#pragma once

#include <QDialog>
#include <QStringList>
#include <QVector>

class QLabel;
class QPlainTextEdit;
class QTableWidget;

namespace ostelvia::ui {

class TotalsView : public QDialog {
    Q_OBJECT

public:
    // lines: every line of the list; selected: the indexes of the selected ones.
    TotalsView(const QStringList& lines, const QVector<int>& selected, QWidget* parent = nullptr);

    // Rows: the totals, then one per month of departure; columns: what is
    // counted, then records, guests and nights of the selected lines and of all.
    QTableWidget* totals() const { return totals_; }
    QLabel* unreadableNote() const { return unreadableNote_; }
    QPlainTextEdit* unreadableList() const { return unreadableList_; }

private:
    QTableWidget* totals_;
    QLabel* unreadableNote_;
    QPlainTextEdit* unreadableList_;
};

}  // namespace ostelvia::ui
