// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/TaxReportWindow.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPageLayout>
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
#include "ui/main/WindowFit.h"

namespace ostelvia::ui {

namespace {

const QString kTitolo = QStringLiteral("Rendiconto dell'imposta di soggiorno");
QString uncomputedHeading(size_t count)
{
    return count == 1
        ? QStringLiteral("1 soggiorno non calcolabile (date mancanti o errate), non contato:")
        : QStringLiteral("%1 soggiorni non calcolabili (date mancanti o errate), non contati:").arg(count);
}

}  // namespace

TaxReportWindow::TaxReportWindow(exporter::TaxReport report, const QString& periodo, QWidget* parent)
    : QDialog(parent),
      report_(std::move(report)),
      period_(periodo),
      askPath_([](QWidget* parent) { return chooseCsvPath(parent, QStringLiteral("Rendiconto imposta.csv")); }),
      askPrinter_(choosePrinter)
{
    setObjectName(QStringLiteral("TaxReportWindow"));
    setWindowTitle(kTitolo);
    setModal(true);

    auto* intestazione = reportLabel(text::blankControls(period_), QStringLiteral("period"), true, this);
    rules_ = reportLabel(exporter::describeTaxRules(report_.rules).join(QLatin1Char('\n')), QStringLiteral("rules"),
                         false, this);

    const std::vector<QStringList> righe = exporter::taxRows(report_);
    table_ = new QTableWidget(static_cast<int>(righe.size()), static_cast<int>(exporter::kTaxColumns.size()), this);
    table_->setObjectName(QStringLiteral("table"));
    table_->setHorizontalHeaderLabels(exporter::kTaxColumns);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    // Tab moves on to the buttons; the arrows move inside the table.
    table_->setTabKeyNavigation(false);
    table_->verticalHeader()->setVisible(false);
    QFont grassetto = table_->font();
    grassetto.setBold(true);
    for (int riga = 0; riga < static_cast<int>(righe.size()); ++riga) {
        const QStringList& celle = righe[static_cast<size_t>(riga)];
        const bool totale = riga + 1 == static_cast<int>(righe.size());
        for (int colonna = 0; colonna < celle.size(); ++colonna) {
            auto* cella = new QTableWidgetItem(celle.at(colonna));
            cella->setTextAlignment(colonna == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                                 : Qt::AlignRight | Qt::AlignVCenter);
            if (totale)
                cella->setFont(grassetto);
            table_->setItem(riga, colonna, cella);
        }
    }
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

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
    saveCsv_->setToolTip(QStringLiteral("Salva la tabella per un foglio di calcolo"));
    print_->setToolTip(QStringLiteral("Stampa la tabella con le regole usate"));
    close_->setDefault(true);
    connect(saveCsv_, &QPushButton::clicked, this, &TaxReportWindow::saveCsv);
    connect(print_, &QPushButton::clicked, this, &TaxReportWindow::printReport);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intestazione);
    layout->addWidget(rules_);
    layout->addWidget(table_, 1);
    layout->addWidget(titoloNonCalcolati);
    layout->addWidget(uncomputed_);
    layout->addLayout(pulsanti.row);
    setTabOrder(table_, uncomputed_);
    setTabOrder(uncomputed_, saveCsv_);
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

QString TaxReportWindow::printableHtml() const
{
    QString html = QStringLiteral("<html><body><h3>%1</h3><p><b>%2</b><br>")
                       .arg(kTitolo.toHtmlEscaped(), text::blankControls(period_).toHtmlEscaped());
    html += exporter::describeTaxRules(report_.rules)
                .join(QLatin1Char('\n'))
                .toHtmlEscaped()
                .replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    html += QStringLiteral("</p><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><thead><tr>");
    for (const QString& colonna : exporter::kTaxColumns)
        html += QStringLiteral("<th>%1</th>").arg(colonna.toHtmlEscaped());
    html += QStringLiteral("</tr></thead>");
    const std::vector<QStringList> righe = exporter::taxRows(report_);
    for (size_t riga = 0; riga < righe.size(); ++riga) {
        const bool totale = riga + 1 == righe.size();
        html += QStringLiteral("<tr>");
        for (qsizetype colonna = 0; colonna < righe[riga].size(); ++colonna) {
            const QString cella = righe[riga].at(colonna).toHtmlEscaped();
            html += QStringLiteral("<td align=\"%1\">%2</td>")
                        .arg(colonna == 0 ? QStringLiteral("left") : QStringLiteral("right"),
                             totale ? QStringLiteral("<b>%1</b>").arg(cella) : cella);
        }
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    if (!report_.uncomputed.empty()) {
        html += QStringLiteral("<p><b>%1</b><br>").arg(uncomputedHeading(report_.uncomputed.size()).toHtmlEscaped());
        for (const exporter::UncomputedStay& stay : report_.uncomputed)
            html += exporter::uncomputedLine(stay).toHtmlEscaped() + QStringLiteral("<br>");
        html += QStringLiteral("</p>");
    }
    return html + QStringLiteral("</body></html>");
}

void TaxReportWindow::printReport()
{
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                        QPageLayout::Millimeter));
    stampante.setDocName(kTitolo);
    if (!askPrinter_ || !askPrinter_(stampante, this))
        return;
    if (!printHtml(stampante, printableHtml(), arialFont(9)))
        showError(QStringLiteral("Impossibile stampare il rendiconto dell'imposta."));
}

}  // namespace ostelvia::ui
