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
#include "ui/dialogs/DialogLook.h"
#include "text/Error.h"
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
    intestazione->setFont(FontCorbel(11.25));

    totali_ = new QLabel(exporter::totalsLine(report_.totals), this);
    totali_->setObjectName(QStringLiteral("totali"));
    totali_->setTextFormat(Qt::PlainText);
    totali_->setFont(FontCorbel(11.25, true));

    const std::vector<QStringList> righe = exporter::checkRows(report_);
    tabella_ = new QTableWidget(static_cast<int>(righe.size()), static_cast<int>(exporter::kCheckColumns.size()), this);
    tabella_->setObjectName(QStringLiteral("tabella"));
    tabella_->setHorizontalHeaderLabels(exporter::kCheckColumns);
    tabella_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabella_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabella_->setWordWrap(false);
    tabella_->verticalHeader()->setVisible(false);
    for (int riga = 0; riga < static_cast<int>(righe.size()); ++riga) {
        const QStringList& celle = righe[static_cast<size_t>(riga)];
        for (int colonna = 0; colonna < celle.size(); ++colonna) {
            auto* cella = new QTableWidgetItem(exporter::singleLine(celle.at(colonna)));
            cella->setToolTip(celle.at(colonna));
            tabella_->setItem(riga, colonna, cella);
        }
    }
    // Filled first, sorted after: the rows keep the order the check met them
    // until the clerk clicks a heading.
    tabella_->setSortingEnabled(true);
    tabella_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    tabella_->verticalHeader()->setDefaultSectionSize(tabella_->fontMetrics().height() + 6);
    tabella_->resizeColumnsToContents();
    // A long problem line keeps the suggestions in sight; its tool tip has it whole.
    for (int colonna = 0; colonna < tabella_->columnCount(); ++colonna)
        tabella_->setColumnWidth(colonna, std::min(tabella_->columnWidth(colonna), kColonnaMassima));
    tabella_->horizontalHeader()->setStretchLastSection(true);

    salvaCsv_ = new QPushButton(QStringLiteral("Salva CSV…"), this);
    stampa_ = new QPushButton(QStringLiteral("Stampa…"), this);
    chiudi_ = new QPushButton(QStringLiteral("Chiudi"), this);
    salvaCsv_->setObjectName(QStringLiteral("salvaCsv"));
    stampa_->setObjectName(QStringLiteral("stampa"));
    chiudi_->setObjectName(QStringLiteral("chiudi"));
    for (QPushButton* pulsante : {salvaCsv_, stampa_, chiudi_}) {
        pulsante->setFont(FontCorbel(11.25));
        pulsante->setAutoDefault(false);
    }
    connect(salvaCsv_, &QPushButton::clicked, this, &CheckReportWindow::SalvaCsv);
    connect(stampa_, &QPushButton::clicked, this, &CheckReportWindow::Stampa);
    connect(chiudi_, &QPushButton::clicked, this, &QDialog::accept);

    auto* pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    pulsanti->addWidget(salvaCsv_);
    pulsanti->addWidget(stampa_);
    pulsanti->addWidget(chiudi_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intestazione);
    layout->addWidget(totali_);
    layout->addWidget(tabella_, 1);
    layout->addLayout(pulsanti);
    resize(1240, 600);
}

void CheckReportWindow::segnala(const QString& messaggio)
{
    showError(messaggio);
}

void CheckReportWindow::SalvaCsv()
{
    const QString percorso = askPath_ ? askPath_(this) : QString();
    if (percorso.isEmpty())
        return;
    try {
        exporter::writeCheckCsv(percorso, report_);
    } catch (const Error& errore) {
        segnala(errore.message());
    }
}

QString CheckReportWindow::printableHtml() const
{
    QString html = QStringLiteral("<html><body><h3>%1</h3><p>%2<br><b>%3</b></p>")
                       .arg(kTitolo.toHtmlEscaped(), periodo_.toHtmlEscaped(),
                            exporter::totalsLine(report_.totals).toHtmlEscaped());
    if (tabella_->rowCount() > 0) {
        html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\"><tr>");
        for (const QString& colonna : exporter::kCheckColumns)
            html += QStringLiteral("<th>%1</th>").arg(colonna.toHtmlEscaped());
        html += QStringLiteral("</tr>");
        for (int riga = 0; riga < tabella_->rowCount(); ++riga) {
            html += QStringLiteral("<tr>");
            for (int colonna = 0; colonna < tabella_->columnCount(); ++colonna) {
                const QTableWidgetItem* cella = tabella_->item(riga, colonna);
                html += QStringLiteral("<td>%1</td>").arg(cella ? cella->text().toHtmlEscaped() : QString());
            }
            html += QStringLiteral("</tr>");
        }
        html += QStringLiteral("</table>");
    }
    return html + QStringLiteral("</body></html>");
}

void CheckReportWindow::Stampa()
{
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setPageOrientation(QPageLayout::Landscape);
    stampante.setDocName(kTitolo);
    if (!askPrinter_ || !askPrinter_(stampante, this))
        return;
    QTextDocument documento;
    documento.setDefaultFont(FontArial(8));
    documento.setHtml(printableHtml());
    documento.print(&stampante);
    if (stampante.printerState() == QPrinter::Error)
        segnala(QStringLiteral("Impossibile stampare il controllo delle schede."));
}

}  // namespace ostelvia::ui
