#include "ui/main/FieldView.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "export/CodeLookups.h"
#include "export/RecordLayout.h"

namespace ostelvia::ui {

namespace {

using exporter::CodeKind;
using exporter::ParsedLine;

const QColor kAvviso(160, 0, 0);

// What a field's value means when the value alone does not say it.
QString SignificatoDelCampo(int numero, const QString& valore, CodeKind codice)
{
    if (codice != CodeKind::None)
        return exporter::SignificatoCodice(valore, codice);
    switch (numero) {
    case 2: case 4: case 5: case 16: case 28: {
        const QString data = exporter::shownDate(valore);
        return data == valore ? QString() : data;
    }
    case 30: {
        static const QHash<QString, QString> tipi{
            {QStringLiteral("16"), QStringLiteral("ospite singolo")},
            {QStringLiteral("17"), QStringLiteral("capofamiglia")},
            {QStringLiteral("18"), QStringLiteral("capogruppo")},
            {QStringLiteral("19"), QStringLiteral("familiare")},
            {QStringLiteral("20"), QStringLiteral("membro del gruppo")}};
        return tipi.value(valore);
    }
    default:
        return {};
    }
}

QTableWidgetItem* Cella(const QString& testo, Qt::Alignment allineamento = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* cella = new QTableWidgetItem(testo);
    cella->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    cella->setTextAlignment(allineamento);
    return cella;
}

}  // namespace

QString SpaziVisibili(const QString& valore)
{
    QString visibile = valore;
    visibile.replace(QLatin1Char(' '), QChar(0x00B7));
    return visibile;
}

VistaCampi::VistaCampi(const QString& riga, int numeroRiga, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("VistaCampi"));
    setWindowTitle(QStringLiteral("Campi della riga %1").arg(numeroRiga));

    intestazione_ = new QLabel(this);
    intestazione_->setObjectName(QStringLiteral("intestazione"));
    intestazione_->setTextFormat(Qt::PlainText);
    intestazione_->setWordWrap(true);
    avviso_ = new QLabel(this);
    avviso_->setObjectName(QStringLiteral("avviso"));
    avviso_->setTextFormat(Qt::PlainText);
    avviso_->setWordWrap(true);
    QPalette rosso = avviso_->palette();
    rosso.setColor(QPalette::WindowText, kAvviso);
    avviso_->setPalette(rosso);
    avviso_->hide();

    campi_ = new QTableWidget(0, 6, this);
    campi_->setObjectName(QStringLiteral("campi"));
    campi_->setHorizontalHeaderLabels({QStringLiteral("N."), QStringLiteral("Contenuto"), QStringLiteral("Posizioni"),
                                       QStringLiteral("Larghezza"), QStringLiteral("Valore"),
                                       QStringLiteral("Significato")});
    campi_->verticalHeader()->hide();
    campi_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    campi_->setSelectionBehavior(QAbstractItemView::SelectRows);
    campi_->setWordWrap(false);
    campi_->horizontalHeader()->setStretchLastSection(true);
    campi_->verticalHeader()->setDefaultSectionSize(campi_->fontMetrics().height() + 6);

    auto* pulsanti = new QDialogButtonBox(this);
    auto* chiudi = pulsanti->addButton(QStringLiteral("&Chiudi"), QDialogButtonBox::RejectRole);
    chiudi->setObjectName(QStringLiteral("chiudi"));
    connect(pulsanti, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intestazione_);
    layout->addWidget(avviso_);
    layout->addWidget(campi_, 1);
    layout->addWidget(pulsanti);

    const ParsedLine letta = exporter::parseLine(riga);
    switch (letta.kind) {
    case ParsedLine::Kind::Header:
        intestazione_->setText(QStringLiteral("È la riga di intestazione del file (\"%1\"): non contiene i dati di un "
                                              "ospite.")
                                   .arg(SpaziVisibili(riga)));
        campi_->hide();
        resize(560, 140);
        return;
    case ParsedLine::Kind::Record:
        intestazione_->setText(QStringLiteral("Record di %1, arrivo %2, partenza %3: %4 campi, %5 caratteri.")
                                   .arg(exporter::guestName(riga),
                                        exporter::shownDate(letta.at(exporter::fieldNo::Arrivo)),
                                        exporter::shownDate(letta.at(exporter::fieldNo::Partenza)))
                                   .arg(exporter::kFieldCount)
                                   .arg(riga.size()));
        break;
    case ParsedLine::Kind::Malformed:
        intestazione_->setText(QStringLiteral("Riga di %1 caratteri.").arg(riga.size()));
        avviso_->setText(letta.problem);
        avviso_->show();
        break;
    }
    riempiCampi(letta.fields);
    resize(980, 720);
}

void VistaCampi::riempiCampi(const QStringList& valori)
{
    const QFont fisso = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const auto& tracciato = exporter::recordLayout();
    campi_->setRowCount(static_cast<int>(tracciato.size()));
    for (int r = 0; r < static_cast<int>(tracciato.size()); ++r) {
        const exporter::RecordField& f = tracciato[r];
        const QString valore = valori.value(r);
        const Qt::Alignment destra = Qt::AlignRight | Qt::AlignVCenter;
        campi_->setItem(r, Numero, Cella(QString::number(f.number), destra));
        campi_->setItem(r, Contenuto, Cella(QString::fromUtf16(f.description)));
        campi_->setItem(r, Posizioni,
                        Cella(f.width == 1 ? QString::number(f.start)
                                           : QStringLiteral("%1–%2").arg(f.start).arg(f.end())));
        campi_->setItem(r, Larghezza, Cella(QString::number(f.width), destra));
        auto* cella = Cella(SpaziVisibili(valore));
        cella->setFont(fisso);
        cella->setToolTip(SpaziVisibili(valore));
        campi_->setItem(r, Valore, cella);
        // A field the line does not reach has nothing to look up.
        const bool completo = valore.size() == f.width;
        campi_->setItem(r, Significato,
                        Cella(completo ? SignificatoDelCampo(f.number, valore, f.code)
                                       : QStringLiteral("campo incompleto (%1 caratteri)").arg(valore.size())));
    }
    campi_->resizeColumnsToContents();
    // The 320 blanks of field 25 would widen the view beyond any screen.
    campi_->setColumnWidth(Valore, std::min(campi_->columnWidth(Valore), 380));
}

}  // namespace ostelvia::ui
