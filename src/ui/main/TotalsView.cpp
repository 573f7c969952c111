// SPDX-License-Identifier: GPL-3.0-or-later
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
#include "text/Blanks.h"
#include "ui/main/WindowFit.h"

namespace ostelvia::ui {

namespace {

using exporter::Totals;

void addRow(QTableWidget* table, const QString& label, const Totals& selected, const Totals& all, bool bold)
{
    const int r = table->rowCount();
    table->insertRow(r);
    const std::array<QString, 7> texts{label,
                                       QString::number(selected.records),
                                       QString::number(selected.guests),
                                       QString::number(selected.nights),
                                       QString::number(all.records),
                                       QString::number(all.guests),
                                       QString::number(all.nights)};
    for (int c = 0; c < static_cast<int>(texts.size()); ++c) {
        auto* cell = new QTableWidgetItem(texts[c]);
        cell->setFlags(Qt::ItemIsEnabled);
        cell->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
        QFont font = cell->font();
        font.setBold(bold);
        cell->setFont(font);
        table->setItem(r, c, cell);
    }
}

}  // namespace

TotalsView::TotalsView(const QStringList& lines, const QVector<int>& selected, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TotalsView"));
    setWindowTitle(QStringLiteral("Riepilogo"));

    const exporter::LineTotals chosen = exporter::computeTotals(lines, &selected);
    const exporter::LineTotals all = exporter::computeTotals(lines);

    auto* explanation = new QLabel(
        QStringLiteral("Righe selezionate: %1 su %2, intestazione compresa. Ospiti distinti: stesso cognome, "
                       "nome e data di nascita. Notti: partenza meno arrivo, in giorni.")
            .arg(selected.size())
            .arg(lines.size()),
        this);
    explanation->setWordWrap(true);

    totals_ = new QTableWidget(0, 7, this);
    totals_->setObjectName(QStringLiteral("totals"));
    totals_->setHorizontalHeaderLabels({QString(), QStringLiteral("Record\nselezionati"),
                                        QStringLiteral("Ospiti\nselezionati"), QStringLiteral("Notti\nselezionate"),
                                        QStringLiteral("Record\ntutti"), QStringLiteral("Ospiti\ntutti"),
                                        QStringLiteral("Notti\ntutte")});
    totals_->verticalHeader()->hide();
    totals_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    totals_->setSelectionMode(QAbstractItemView::NoSelection);

    addRow(totals_, QStringLiteral("Totale"), chosen.all, all.all, true);
    std::set<QString> months;
    for (const auto& [month, _] : all.byMonth)
        months.insert(month);
    for (const QString& month : months) {
        const auto found = chosen.byMonth.find(month);
        addRow(totals_, QStringLiteral("Partenze %1").arg(exporter::monthLabel(month)),
               found == chosen.byMonth.end() ? Totals{} : found->second, all.byMonth.at(month), false);
    }
    totals_->setFocusPolicy(Qt::NoFocus);
    totals_->verticalHeader()->setDefaultSectionSize(totals_->fontMetrics().height() + 8);
    totals_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    totals_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

    unreadableNote_ = new QLabel(this);
    unreadableNote_->setObjectName(QStringLiteral("unreadableNote"));
    unreadableNote_->setWordWrap(true);
    unreadableNote_->setText(
        all.unreadable.isEmpty()
            ? QStringLiteral("Tutte le righe si leggono come record.")
            : QStringLiteral("Righe che non si leggono come record, non contate sopra: %1 (tra le selezionate: %2).")
                  .arg(all.unreadable.size())
                  .arg(chosen.unreadable.size()));
    QStringList unreadable;
    unreadable.reserve(all.unreadable.size());
    for (const QString& line : all.unreadable)
        unreadable.append(text::blankControls(line));
    unreadableList_ = new QPlainTextEdit(unreadable.join(QLatin1Char('\n')), this);
    unreadableList_->setTabChangesFocus(true);
    unreadableList_->setObjectName(QStringLiteral("unreadableList"));
    unreadableList_->setReadOnly(true);
    unreadableList_->setVisible(!all.unreadable.isEmpty());
    unreadableList_->setMaximumHeight(120);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("&Chiudi"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("closeButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addWidget(totals_, 1);
    layout->addWidget(unreadableNote_);
    layout->addWidget(unreadableList_);
    layout->addWidget(buttons);
    fitToScreen(this, QSize(720, 560));
}

}  // namespace ostelvia::ui
