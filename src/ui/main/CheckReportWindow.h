// The report of the check of every card: the totals, a sortable table with
// one row per problem line (the columns of the CSV), and "Salva CSV…",
// "Stampa…", "Chiudi".
#pragma once

#include <QDialog>

#include <functional>

#include "export/CardCheck.h"

class QLabel;
class QPrinter;
class QPushButton;
class QTableWidget;

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

    void setAskPath(AskPath ask) { askPath_ = std::move(ask); }
    void setAskPrinter(AskPrinter ask) { askPrinter_ = std::move(ask); }

    QTableWidget* tabella() const { return tabella_; }
    QLabel* totali() const { return totali_; }
    QPushButton* salvaCsvButton() const { return salvaCsv_; }
    QPushButton* stampaButton() const { return stampa_; }
    QPushButton* chiudiButton() const { return chiudi_; }

    // The report as printed: title, totals and the rows in the table's
    // current order.
    QString printableHtml() const;

private:
    void SalvaCsv();
    void Stampa();
    void segnala(const QString& messaggio);

    exporter::CheckReport report_;
    QString periodo_;
    AskPath askPath_;
    AskPrinter askPrinter_;
    QLabel* totali_;
    QTableWidget* tabella_;
    QPushButton* salvaCsv_;
    QPushButton* stampa_;
    QPushButton* chiudi_;
};

}  // namespace ostelvia::ui
