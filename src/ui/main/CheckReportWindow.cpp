// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/CheckReportWindow.h"

#include <algorithm>

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QTextDocument>
#include <QVBoxLayout>

#include "export/CheckOutput.h"
#include "export/TextFiles.h"
#include "text/Blanks.h"
#include "text/Error.h"
#include "ui/dialogs/DialogLook.h"
#include "ui/main/ErrorMessage.h"

namespace ostelvia::ui {

namespace {

const QString kTitolo = QStringLiteral("Controllo delle schede");
constexpr int kColonnaMassima = 380;

QString chiediPercorsoCsv(QWidget* parent)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Salva CSV"), QStringLiteral("Controllo schede.csv"),
                                        QStringLiteral("File CSV (*.csv)"));
}

bool chiediStampante(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialogo(&printer, parent);
    dialogo.setWindowTitle(QStringLiteral("Stampa"));
    return dialogo.exec() == QDialog::Accepted;
}

}  // namespace

CheckReportWindow::CheckReportWindow(exporter::CheckReport report, const QString& periodo, QWidget* parent)
    : QDialog(parent),
      report_(std::move(report)),
      periodo_(periodo),
      askPath_(chiediPercorsoCsv),
      askPrinter_(chiediStampante)
{
    setObjectName(QStringLiteral("CheckReportWindow"));
    setWindowTitle(kTitolo);
    setModal(true);

    auto* intestazione = new QLabel(periodo_, this);
    intestazione->setObjectName(QStringLiteral("periodo"));
    intestazione->setTextFormat(Qt::PlainText);
    intestazione->setFont(corbelFont(11.25));

    totals_ = new QLabel(exporter::totalsLine(report_.totals), this);
    totals_->setObjectName(QStringLiteral("totali"));
    totals_->setTextFormat(Qt::PlainText);
    totals_->setFont(corbelFont(11.25, true));

    const std::vector<QStringList> righe = exporter::checkRows(report_);
    table_ = new QTableWidget(static_cast<int>(righe.size()), static_cast<int>(exporter::kCheckColumns.size()), this);
    table_->setObjectName(QStringLiteral("tabella"));
    table_->setHorizontalHeaderLabels(exporter::kCheckColumns);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->verticalHeader()->setVisible(false);
    for (int riga = 0; riga < static_cast<int>(righe.size()); ++riga) {
        const QStringList& celle = righe[static_cast<size_t>(riga)];
        for (int colonna = 0; colonna < celle.size(); ++colonna) {
            auto* cella = new QTableWidgetItem(text::blankControls(celle.at(colonna)));
            cella->setToolTip(celle.at(colonna));
            table_->setItem(riga, colonna, cella);
        }
    }
    // Filled first, sorted after: the rows keep the order the check met them
    // until the clerk clicks a heading.
    table_->setSortingEnabled(true);
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->resizeColumnsToContents();
    // A long problem line keeps the suggestions in sight; its tool tip has it whole.
    for (int colonna = 0; colonna < table_->columnCount(); ++colonna)
        table_->setColumnWidth(colonna, std::min(table_->columnWidth(colonna), kColonnaMassima));
    table_->horizontalHeader()->setStretchLastSection(true);

    saveCsv_ = new QPushButton(QStringLiteral("Salva CSV…"), this);
    print_ = new QPushButton(QStringLiteral("Stampa…"), this);
    close_ = new QPushButton(QStringLiteral("Chiudi"), this);
    saveCsv_->setObjectName(QStringLiteral("salvaCsv"));
    print_->setObjectName(QStringLiteral("stampa"));
    close_->setObjectName(QStringLiteral("chiudi"));
    for (QPushButton* pulsante : {saveCsv_, print_, close_}) {
        pulsante->setFont(corbelFont(11.25));
        pulsante->setAutoDefault(false);
    }
    connect(saveCsv_, &QPushButton::clicked, this, &CheckReportWindow::saveCsv);
    connect(print_, &QPushButton::clicked, this, &CheckReportWindow::printReport);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);

    auto* pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    pulsanti->addWidget(saveCsv_);
    pulsanti->addWidget(print_);
    pulsanti->addWidget(close_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intestazione);
    layout->addWidget(totals_);
    layout->addWidget(table_, 1);
    layout->addLayout(pulsanti);
    resize(1240, 600);
}

void CheckReportWindow::showFailure(const QString& messaggio)
{
    showError(messaggio);
}

void CheckReportWindow::saveCsv()
{
    const QString percorso = askPath_ ? askPath_(this) : QString();
    if (percorso.isEmpty())
        return;
    try {
        exporter::writeCheckCsv(percorso, report_);
    } catch (const Error& errore) {
        showFailure(errore.message());
    }
}

QString CheckReportWindow::printableHtml() const
{
    QString html = QStringLiteral("<html><body><h3>%1</h3><p>%2<br><b>%3</b></p>")
                       .arg(kTitolo.toHtmlEscaped(), periodo_.toHtmlEscaped(),
                            exporter::totalsLine(report_.totals).toHtmlEscaped());
    if (table_->rowCount() > 0) {
        html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\"><tr>");
        for (const QString& colonna : exporter::kCheckColumns)
            html += QStringLiteral("<th>%1</th>").arg(colonna.toHtmlEscaped());
        html += QStringLiteral("</tr>");
        for (int riga = 0; riga < table_->rowCount(); ++riga) {
            html += QStringLiteral("<tr>");
            for (int colonna = 0; colonna < table_->columnCount(); ++colonna) {
                const QTableWidgetItem* cella = table_->item(riga, colonna);
                html += QStringLiteral("<td>%1</td>").arg(cella ? cella->text().toHtmlEscaped() : QString());
            }
            html += QStringLiteral("</tr>");
        }
        html += QStringLiteral("</table>");
    }
    return html + QStringLiteral("</body></html>");
}

void CheckReportWindow::printReport()
{
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setPageOrientation(QPageLayout::Landscape);
    stampante.setDocName(kTitolo);
    if (!askPrinter_ || !askPrinter_(stampante, this))
        return;
    QTextDocument documento;
    documento.setDefaultFont(arialFont(8));
    documento.setHtml(printableHtml());
    documento.print(&stampante);
    if (stampante.printerState() == QPrinter::Error)
        showFailure(QStringLiteral("Impossibile stampare il controllo delle schede."));
}

}  // namespace ostelvia::ui
