#include "ui/main/TotalsView.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <set>

#include "export/SendTotals.h"

namespace ostelvia::ui {

namespace {

using exporter::Totals;

void Riga(QTableWidget* tabella, const QString& voce, const Totals& selezionate, const Totals& tutte, bool totale)
{
    const int r = tabella->rowCount();
    tabella->insertRow(r);
    const std::array<QString, 7> testi{voce,
                                       QString::number(selezionate.records),
                                       QString::number(selezionate.guests),
                                       QString::number(selezionate.nights),
                                       QString::number(tutte.records),
                                       QString::number(tutte.guests),
                                       QString::number(tutte.nights)};
    for (int c = 0; c < static_cast<int>(testi.size()); ++c) {
        auto* cella = new QTableWidgetItem(testi[c]);
        cella->setFlags(Qt::ItemIsEnabled);
        cella->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
        QFont font = cella->font();
        font.setBold(totale);
        cella->setFont(font);
        tabella->setItem(r, c, cella);
    }
}

}  // namespace

Riepilogo::Riepilogo(const QStringList& righe, const QVector<int>& selezionate, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Riepilogo"));
    setWindowTitle(QStringLiteral("Riepilogo"));

    const exporter::LineTotals sel = exporter::CalcolaTotali(righe, &selezionate);
    const exporter::LineTotals tutte = exporter::CalcolaTotali(righe);

    auto* spiegazione = new QLabel(
        QStringLiteral("Righe selezionate: %1 su %2, intestazione compresa. Ospiti distinti: stesso cognome, "
                       "nome e data di nascita. Notti: partenza meno arrivo, in giorni.")
            .arg(selezionate.size())
            .arg(righe.size()),
        this);
    spiegazione->setWordWrap(true);

    totali_ = new QTableWidget(0, 7, this);
    totali_->setObjectName(QStringLiteral("totali"));
    totali_->setHorizontalHeaderLabels({QString(), QStringLiteral("Record\nselezionati"),
                                        QStringLiteral("Ospiti\nselezionati"), QStringLiteral("Notti\nselezionate"),
                                        QStringLiteral("Record\ntutti"), QStringLiteral("Ospiti\ntutti"),
                                        QStringLiteral("Notti\ntutte")});
    totali_->verticalHeader()->hide();
    totali_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    totali_->setSelectionMode(QAbstractItemView::NoSelection);

    Riga(totali_, QStringLiteral("Totale"), sel.all, tutte.all, true);
    std::set<QString> mesi;
    for (const auto& [mese, _] : tutte.byMonth)
        mesi.insert(mese);
    for (const QString& mese : mesi) {
        const auto trovato = sel.byMonth.find(mese);
        Riga(totali_, QStringLiteral("Partenze %1").arg(exporter::monthLabel(mese)),
             trovato == sel.byMonth.end() ? Totals{} : trovato->second, tutte.byMonth.at(mese), false);
    }
    totali_->setFocusPolicy(Qt::NoFocus);
    totali_->verticalHeader()->setDefaultSectionSize(totali_->fontMetrics().height() + 8);
    totali_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    totali_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

    nonLeggibili_ = new QLabel(this);
    nonLeggibili_->setObjectName(QStringLiteral("nonLeggibili"));
    nonLeggibili_->setWordWrap(true);
    nonLeggibili_->setText(
        tutte.unreadable.isEmpty()
            ? QStringLiteral("Tutte le righe si leggono come record.")
            : QStringLiteral("Righe che non si leggono come record, non contate sopra: %1 (tra le selezionate: %2).")
                  .arg(tutte.unreadable.size())
                  .arg(sel.unreadable.size()));
    elenco_ = new QPlainTextEdit(tutte.unreadable.join(QLatin1Char('\n')), this);
    elenco_->setObjectName(QStringLiteral("elencoNonLeggibili"));
    elenco_->setReadOnly(true);
    elenco_->setVisible(!tutte.unreadable.isEmpty());
    elenco_->setMaximumHeight(120);

    auto* pulsanti = new QDialogButtonBox(this);
    pulsanti->addButton(QStringLiteral("&Chiudi"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("chiudi"));
    connect(pulsanti, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(spiegazione);
    layout->addWidget(totali_, 1);
    layout->addWidget(nonLeggibili_);
    layout->addWidget(elenco_);
    layout->addWidget(pulsanti);
    resize(720, 560);
}

}  // namespace ostelvia::ui
