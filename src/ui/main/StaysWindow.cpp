// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/StaysWindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

#include "export/PrivateFiles.h"
#include "export/TaxOutput.h"
#include "text/Blanks.h"
#include "text/Csv.h"
#include "text/Error.h"
#include "ui/dialogs/DialogLook.h"
#include "ui/main/ErrorMessage.h"
#include "ui/main/ReportParts.h"
#include "ui/main/ShownText.h"
#include "ui/main/WindowFit.h"

namespace ostelvia::ui {

namespace {

const QString kTitolo = QStringLiteral("Soggiorni del rendiconto");
constexpr int kSortRole = Qt::UserRole + 1;
enum Column { Room = 1, CardNumber = 2, Arrival = 4, Departure = 5, Month = 6, Nights = 7, Exemption = 8, Tax = 11 };

const QString kTutti = QStringLiteral("tutti");
const QString kTutte = QStringLiteral("tutte");
const QString kNessuna = QStringLiteral("nessuna");

// What a column sorts by: dates and months by the calendar, counts and
// amounts by value, rooms by number where they are numbers, the rest as text.
QVariant sortKey(int column, const QString& cell)
{
    if (column == Arrival || column == Departure)
        return cell.mid(6, 4) + cell.mid(3, 2) + cell.left(2);
    if (column == Month)
        return cell.mid(3, 4) + cell.left(2);
    if (column == Tax)
        return QString(cell).remove(QLatin1Char(',')).toLongLong();
    bool number = false;
    const qlonglong value = cell.trimmed().toLongLong(&number);
    if (number && (column == Room || column == CardNumber || column >= Nights))
        return value;
    return cell;
}

}  // namespace

// Rows of one month of departure and one kind of exemption; "" lets all by.
class StaysFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setWanted(const QString& month, const QString& exemption)
    {
        month_ = month;
        exemption_ = exemption;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        const QString month = sourceModel()->index(row, Month, parent).data().toString();
        const QString exemption = sourceModel()->index(row, Exemption, parent).data().toString();
        if (!month_.isEmpty() && month != month_)
            return false;
        if (exemption_.isEmpty())
            return true;
        return exemption_ == kNessuna ? exemption.isEmpty() : exemption == exemption_;
    }

private:
    QString month_;
    QString exemption_;
};

StaysWindow::StaysWindow(const exporter::TaxReport& report, const QString& periodo, QWidget* parent)
    : QDialog(parent),
      period_(periodo),
      csvName_(QStringLiteral("Soggiorni.csv")),
      askPath_([this](QWidget* parent) { return chooseCsvPath(parent, csvName_); }),
      askPrinter_(choosePrinter)
{
    setObjectName(QStringLiteral("StaysWindow"));
    setWindowTitle(kTitolo);
    setModal(true);

    const std::vector<QStringList> righe = exporter::stayRows(report);
    model_ =
        new QStandardItemModel(static_cast<int>(righe.size()), static_cast<int>(exporter::kStayColumns.size()), this);
    model_->setHorizontalHeaderLabels(exporter::kStayColumns);
    std::set<QString> mesi;
    for (int riga = 0; riga < static_cast<int>(righe.size()); ++riga) {
        const QStringList& celle = righe[static_cast<size_t>(riga)];
        for (int colonna = 0; colonna < celle.size(); ++colonna) {
            auto* cella = new QStandardItem(text::blankControls(celle.at(colonna)));
            cella->setToolTip(plainToolTip(celle.at(colonna)));
            cella->setEditable(false);
            cella->setData(sortKey(colonna, celle.at(colonna)), kSortRole);
            if (colonna >= Nights && colonna != Exemption)
                cella->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            model_->setItem(riga, colonna, cella);
        }
        if (!celle.at(Month).isEmpty())
            mesi.insert(celle.at(Month).mid(3, 4) + celle.at(Month).left(2));
    }
    filter_ = new StaysFilter(this);
    filter_->setSourceModel(model_);
    filter_->setSortRole(kSortRole);

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("table"));
    table_->setModel(filter_);
    setUpReadOnlyTable(table_);
    // In the order read until the clerk sorts.
    // The indicator first: Qt 5 sorts by its first column the moment sorting
    // is enabled.
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table_->setSortingEnabled(true);
    table_->resizeColumnsToContents();
    // A long name keeps the numbers in sight; its cell's tool tip has it whole.
    constexpr int kMaxColumnWidth = 200;
    for (int colonna = 0; colonna < model_->columnCount(); ++colonna)
        table_->setColumnWidth(colonna, std::min(table_->columnWidth(colonna), kMaxColumnWidth));
    table_->horizontalHeader()->setStretchLastSection(true);

    month_ = new QComboBox(this);
    month_->setObjectName(QStringLiteral("monthFilter"));
    month_->addItem(kTutti, QString());
    for (const QString& mese : mesi)
        month_->addItem(mese.right(2) + QLatin1Char('/') + mese.left(4),
                        mese.right(2) + QLatin1Char('/') + mese.left(4));
    exemption_ = new QComboBox(this);
    exemption_->setObjectName(QStringLiteral("exemptionFilter"));
    exemption_->addItem(kTutte, QString());
    for (const QString& tipo : {kNessuna, exporter::kEsenteResidente, exporter::kEsenteEta, exporter::kNonCalcolabile})
        exemption_->addItem(tipo, tipo);
    auto* etichettaMese = new QLabel(QStringLiteral("&Mese:"), this);
    etichettaMese->setBuddy(month_);
    auto* etichettaEsenzione = new QLabel(QStringLiteral("&Esenzione:"), this);
    etichettaEsenzione->setBuddy(exemption_);
    count_ = reportLabel(QString(), QStringLiteral("count"), false, this);
    connect(month_, qOverload<int>(&QComboBox::currentIndexChanged), this, &StaysWindow::applyFilters);
    connect(exemption_, qOverload<int>(&QComboBox::currentIndexChanged), this, &StaysWindow::applyFilters);
    auto* filtri = new QHBoxLayout;
    filtri->addWidget(etichettaMese);
    filtri->addWidget(month_);
    filtri->addWidget(etichettaEsenzione);
    filtri->addWidget(exemption_);
    filtri->addStretch();
    filtri->addWidget(count_);

    const ReportButtons pulsanti = addReportButtons(this);
    saveCsv_ = pulsanti.saveCsv;
    print_ = pulsanti.print;
    saveCsv_->setToolTip(QStringLiteral("Salva i soggiorni mostrati per un foglio di calcolo"));
    print_->setToolTip(QStringLiteral("Stampa i soggiorni mostrati"));
    pulsanti.close->setDefault(true);
    connect(saveCsv_, &QPushButton::clicked, this, &StaysWindow::saveCsv);
    connect(print_, &QPushButton::clicked, this, &StaysWindow::printStays);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(reportLabel(text::blankControls(period_), QStringLiteral("period"), true, this));
    layout->addLayout(filtri);
    layout->addWidget(table_, 1);
    layout->addLayout(pulsanti.row);
    setTabOrder(month_, exemption_);
    setTabOrder(exemption_, table_);
    setTabOrder(table_, saveCsv_);

    applyFilters();
    fitToScreen(this, QSize(1000, 640));
    table_->setFocus();
}

void StaysWindow::applyFilters()
{
    filter_->setWanted(month_->currentData().toString(), exemption_->currentData().toString());
    const int mostrati = filter_->rowCount();
    count_->setText(mostrati == 1 ? QStringLiteral("1 soggiorno") : QStringLiteral("%1 soggiorni").arg(mostrati));
}

std::vector<QStringList> StaysWindow::shownRows() const
{
    std::vector<QStringList> rows;
    for (int row = 0; row < filter_->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < filter_->columnCount(); ++column)
            cells << filter_->index(row, column).data().toString();
        rows.push_back(cells);
    }
    return rows;
}

void StaysWindow::saveCsv()
{
    const QString percorso = askPath_ ? askPath_(this) : QString();
    if (percorso.isEmpty())
        return;
    try {
        exporter::writeWholeFile(percorso, text::csvFile(exporter::kStayColumns, shownRows()));
    } catch (const Error& errore) {
        showError(errore.message());
    }
}

QString StaysWindow::printableHtml() const
{
    QString html = QStringLiteral("<html><body><h3>%1</h3><p><b>%2</b><br>Mese: %3; esenzione: %4; %5</p>")
                       .arg(kTitolo.toHtmlEscaped(), text::blankControls(period_).toHtmlEscaped(),
                            month_->currentText().toHtmlEscaped(), exemption_->currentText().toHtmlEscaped(),
                            count_->text().toHtmlEscaped());
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\"><thead><tr>");
    for (const QString& colonna : exporter::kStayColumns)
        html += QStringLiteral("<th>%1</th>").arg(colonna.toHtmlEscaped());
    html += QStringLiteral("</tr></thead>");
    for (const QStringList& riga : shownRows()) {
        html += QStringLiteral("<tr>");
        for (int colonna = 0; colonna < riga.size(); ++colonna) {
            const QString testo = colonna >= Nights && colonna != Exemption
                ? printedNumber(riga.at(colonna), colonna == Tax)
                : riga.at(colonna);
            const bool numero = colonna >= Nights && colonna != Exemption;
            html += QStringLiteral("<td align=\"%1\">%2</td>")
                        .arg(numero ? QStringLiteral("right") : QStringLiteral("left"), testo.toHtmlEscaped());
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table></body></html>");
}

void StaysWindow::printStays()
{
    QPrinter stampante(QPrinter::HighResolution);
    // Twelve columns: the long side of the page across.
    setA4Paper(stampante, true, 12);
    stampante.setDocName(kTitolo);
    if (!askPrinter_ || !askPrinter_(stampante, this))
        return;
    const QString piede = printedOnText(QDate::currentDate());
    if (!printPagedHtml(stampante, printableHtml(), arialFont(7), piede))
        showError(QStringLiteral("Impossibile stampare i soggiorni."));
}

}  // namespace ostelvia::ui
