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

class Riepilogo : public QDialog {
    Q_OBJECT

public:
    // righe: every line of the list; selezionate: the indexes of the selected ones.
    Riepilogo(const QStringList& righe, const QVector<int>& selezionate, QWidget* parent = nullptr);

    // Rows: the totals, then one per month of departure; columns: what is
    // counted, then records, guests and nights of the selected lines and of all.
    QTableWidget* totali() const { return totali_; }
    QLabel* nonLeggibili() const { return nonLeggibili_; }
    QPlainTextEdit* elencoNonLeggibili() const { return elenco_; }

private:
    QTableWidget* totali_;
    QLabel* nonLeggibili_;
    QPlainTextEdit* elenco_;
};

}  // namespace ostelvia::ui
