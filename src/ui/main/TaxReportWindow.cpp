// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/TaxReportWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "export/TaxOutput.h"
#include "text/Blanks.h"
#include "text/Error.h"
#include "ui/dialogs/DialogLook.h"
#include "ui/main/ErrorMessage.h"
#include "ui/main/ReportParts.h"
#include "ui/main/StaysWindow.h"
#include "ui/main/WindowFit.h"

namespace ostelvia::ui {

namespace {

const QString kTitolo = QStringLiteral("Rendiconto dell'imposta di soggiorno");
const QString kSoggiorniContati = QStringLiteral("Soggiorni: uno per ospite, nel mese della partenza.");
const QString kTitoloTariffe = QStringLiteral("Notti imponibili per tariffa (euro a persona per notte):");
constexpr int kTaxColumn = 7;

QString uncomputedHeading(size_t count)
{
    return count == 1
        ? QStringLiteral("1 soggiorno non calcolabile (date mancanti o errate), non contato:")
        : QStringLiteral("%1 soggiorni non calcolabili (date mancanti o errate), non contati:").arg(count);
}

QTableWidget* reportTable(const QString& objectName, const QStringList& header, QWidget* parent)
{
    auto* table = new QTableWidget(0, static_cast<int>(header.size()), parent);
    table->setObjectName(objectName);
    table->setHorizontalHeaderLabels(header);
    setUpReadOnlyTable(table);
    return table;
}

void addTableRow(QTableWidget* table, const QStringList& cells, bool bold)
{
    const int row = table->rowCount();
    table->insertRow(row);
    QFont font = table->font();
    font.setBold(bold);
    for (int column = 0; column < cells.size(); ++column) {
        auto* cell = new QTableWidgetItem(cells.at(column));
        cell->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
        cell->setFont(font);
        table->setItem(row, column, cell);
    }
}

// A table for the print: headings repeated on each page, numbers grouped by
// thousands, the columns of `amounts` with the euro sign.
QString htmlTable(const QStringList& header, const std::vector<std::pair<QStringList, bool>>& rows,
                  const QList<int>& amounts)
{
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><thead><tr>");
    for (const QString& heading : header)
        html += QStringLiteral("<th>%1</th>").arg(heading.toHtmlEscaped());
    html += QStringLiteral("</tr></thead>");
    for (const auto& [cells, bold] : rows) {
        html += QStringLiteral("<tr>");
        for (int column = 0; column < cells.size(); ++column) {
            // Labels ("01/2024", "Totale") are no numbers and stay as they are.
            const QString shown = printedNumber(cells.at(column), amounts.contains(column)).toHtmlEscaped();
            html += QStringLiteral("<td align=\"%1\" style=\"white-space: nowrap\">%2</td>")
                        .arg(column == 0 ? QStringLiteral("left") : QStringLiteral("right"),
                             bold ? QStringLiteral("<b>%1</b>").arg(shown) : shown);
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

}  // namespace

TaxReportWindow::TaxReportWindow(exporter::TaxReport report, const QString& periodo, QWidget* parent)
    : QDialog(parent),
      report_(std::move(report)),
      period_(periodo),
      csvName_(QStringLiteral("Rendiconto imposta.csv")),
      printDate_(QDate::currentDate()),
      askPath_([this](QWidget* parent) { return chooseCsvPath(parent, csvName_); }),
      askPrinter_(choosePrinter)
{
    setObjectName(QStringLiteral("TaxReportWindow"));
    setWindowTitle(kTitolo);
    setModal(true);

    auto* intestazione = reportLabel(text::blankControls(period_), QStringLiteral("period"), true, this);
    rules_ = reportLabel(exporter::describeTaxRules(report_.rules).join(QLatin1Char('\n')), QStringLiteral("rules"),
                         false, this);

    table_ = reportTable(QStringLiteral("table"), exporter::kTaxColumns, this);
    for (const exporter::TaxTableRow& riga : exporter::taxTableRows(report_))
        addTableRow(table_, riga.cells, riga.kind != exporter::TaxTableRow::Kind::Month);
    table_->horizontalHeaderItem(1)->setToolTip(kSoggiorniContati);
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // "4° trimestre 2024" whole; the counts share the rest.
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

    auto* titoloTariffe = reportLabel(kTitoloTariffe, QStringLiteral("tariffTitle"), false, this);
    tariffs_ = reportTable(QStringLiteral("tariffs"), exporter::kTariffColumns, this);
    for (const QStringList& riga : exporter::tariffRows(report_.total))
        addTableRow(tariffs_, riga, false);
    tariffs_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tariffs_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    tariffs_->setMaximumHeight(tariffs_->horizontalHeader()->sizeHint().height()
                               + tariffs_->verticalHeader()->defaultSectionSize() * std::min(tariffs_->rowCount(), 4)
                               + 4);
    titoloTariffe->setVisible(tariffs_->rowCount() > 0);
    tariffs_->setVisible(tariffs_->rowCount() > 0);

    auto* titoloNonCalcolati =
        reportLabel(uncomputedHeading(report_.uncomputed.size()), QStringLiteral("uncomputedTitle"), true, this);
    uncomputed_ = new QListWidget(this);
    uncomputed_->setObjectName(QStringLiteral("uncomputed"));
    for (const exporter::UncomputedStay& stay : report_.uncomputed)
        uncomputed_->addItem(exporter::uncomputedLine(stay));
    uncomputed_->setMaximumHeight(uncomputed_->fontMetrics().height() * 6);
    titoloNonCalcolati->setVisible(!report_.uncomputed.empty());
    uncomputed_->setVisible(!report_.uncomputed.empty());

    const ReportButtons pulsanti = addReportButtons(this);
    saveCsv_ = pulsanti.saveCsv;
    print_ = pulsanti.print;
    close_ = pulsanti.close;
    stays_ = new QPushButton(QStringLiteral("S&oggiorni…"), this);
    stays_->setObjectName(QStringLiteral("stays"));
    stays_->setFont(corbelFont(11.25));
    stays_->setAutoDefault(false);
    stays_->setToolTip(QStringLiteral("Un soggiorno per riga: quelli che fanno le cifre della tabella"));
    pulsanti.row->insertWidget(1, stays_);
    saveCsv_->setToolTip(QStringLiteral("Salva la tabella per un foglio di calcolo"));
    print_->setToolTip(QStringLiteral("Stampa la tabella con le regole usate"));
    close_->setDefault(true);
    connect(stays_, &QPushButton::clicked, this, &TaxReportWindow::showStays);
    connect(saveCsv_, &QPushButton::clicked, this, &TaxReportWindow::saveCsv);
    connect(print_, &QPushButton::clicked, this, &TaxReportWindow::printReport);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intestazione);
    layout->addWidget(rules_);
    layout->addWidget(table_, 1);
    layout->addWidget(titoloTariffe);
    auto* rigaTariffe = new QHBoxLayout;
    rigaTariffe->addWidget(tariffs_);
    rigaTariffe->addStretch();
    layout->addLayout(rigaTariffe);
    layout->addWidget(titoloNonCalcolati);
    layout->addWidget(uncomputed_);
    layout->addLayout(pulsanti.row);
    setTabOrder(table_, tariffs_);
    setTabOrder(tariffs_, uncomputed_);
    setTabOrder(uncomputed_, stays_);
    setTabOrder(stays_, saveCsv_);
    setTabOrder(saveCsv_, print_);
    setTabOrder(print_, close_);

    fitToScreen(this, QSize(880, 600));
    table_->setFocus();
}

void TaxReportWindow::saveCsv()
{
    const QString percorso = askPath_ ? askPath_(this) : QString();
    if (percorso.isEmpty())
        return;
    try {
        exporter::writeTaxCsv(percorso, report_);
    } catch (const Error& errore) {
        showError(errore.message());
    }
}

void TaxReportWindow::showStays()
{
    StaysWindow finestra(report_, period_, this);
    finestra.setCsvName(QString(csvName_).replace(QStringLiteral("Rendiconto imposta"), QStringLiteral("Soggiorni")));
    finestra.setAskPath(askPath_);
    finestra.setAskPrinter(askPrinter_);
    finestra.exec();
}

QString TaxReportWindow::printableHtml() const
{
    QString html = QStringLiteral("<html><body><h3>%1</h3><p><b>%2</b><br>")
                       .arg(kTitolo.toHtmlEscaped(), text::blankControls(period_).toHtmlEscaped());
    html += exporter::describeTaxRules(report_.rules)
                .join(QLatin1Char('\n'))
                .toHtmlEscaped()
                .replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    html += QStringLiteral("</p>");
    std::vector<std::pair<QStringList, bool>> righe;
    for (const exporter::TaxTableRow& riga : exporter::taxTableRows(report_))
        righe.emplace_back(riga.cells, riga.kind != exporter::TaxTableRow::Kind::Month);
    html += htmlTable(exporter::kTaxColumns, righe, {kTaxColumn});
    html += QStringLiteral("<p>%1</p>").arg(kSoggiorniContati.toHtmlEscaped());
    const std::vector<QStringList> tariffe = exporter::tariffRows(report_.total);
    if (!tariffe.empty()) {
        std::vector<std::pair<QStringList, bool>> righeTariffe;
        for (const QStringList& riga : tariffe)
            righeTariffe.emplace_back(riga, false);
        html += QStringLiteral("<p>%1</p>").arg(kTitoloTariffe.toHtmlEscaped());
        html += htmlTable(exporter::kTariffColumns, righeTariffe, {0, 2});
    }
    if (!report_.uncomputed.empty()) {
        html += QStringLiteral("<p><b>%1</b><br>").arg(uncomputedHeading(report_.uncomputed.size()).toHtmlEscaped());
        for (const exporter::UncomputedStay& stay : report_.uncomputed)
            html += exporter::uncomputedLine(stay).toHtmlEscaped() + QStringLiteral("<br>");
        html += QStringLiteral("</p>");
    }
    return html + QStringLiteral("</body></html>");
}

QString TaxReportWindow::printFooter() const
{
    return printedOnText(printDate_);
}

void TaxReportWindow::printReport()
{
    QPrinter stampante(QPrinter::HighResolution);
    setA4Paper(stampante, false, 15);
    stampante.setDocName(kTitolo);
    if (!askPrinter_ || !askPrinter_(stampante, this))
        return;
    if (!printPagedHtml(stampante, printableHtml(), arialFont(9), printFooter()))
        showError(QStringLiteral("Impossibile stampare il rendiconto dell'imposta."));
}

}  // namespace ostelvia::ui
