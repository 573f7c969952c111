// SPDX-License-Identifier: GPL-3.0-or-later
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

#include "db/Run.h"
#include "export/CodeLookups.h"
#include "export/RecordLayout.h"
#include "text/Blanks.h"
#include "ui/main/ReportParts.h"
#include "ui/main/ShownText.h"
#include "ui/main/WindowFit.h"

namespace ostelvia::ui {

namespace {

using exporter::CodeKind;
using exporter::ParsedLine;

const QColor kAvviso(160, 0, 0);

// A stored date as the clerk reads it; a date of zeros or blanks is none.
QString dateForPeople(const QString& stored)
{
    if (stored == QStringLiteral("00000000") || text::trimBlanks(stored).isEmpty())
        return QStringLiteral("nessuna data");
    return exporter::shownDate(stored);
}

// What a field's value means when the value alone does not say it.
QString fieldMeaning(db::Run& run, int number, const QString& value, CodeKind kind)
{
    if (kind != CodeKind::None)
        return exporter::codeMeaning(run, value, kind);
    switch (number) {
    case 2:
    case 4:
    case 5:
    case 16:
    case 28: {
        const QString date = dateForPeople(value);
        return date == value ? QString() : date;
    }
    case 30: {
        static const QHash<QString, QString> kinds{{QStringLiteral("16"), QStringLiteral("ospite singolo")},
                                                   {QStringLiteral("17"), QStringLiteral("capofamiglia")},
                                                   {QStringLiteral("18"), QStringLiteral("capogruppo")},
                                                   {QStringLiteral("19"), QStringLiteral("familiare")},
                                                   {QStringLiteral("20"), QStringLiteral("membro del gruppo")}};
        return kinds.value(value);
    }
    default:
        return {};
    }
}

QTableWidgetItem* makeCell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    cell->setTextAlignment(alignment);
    return cell;
}

}  // namespace

QString visibleBlanks(const QString& value)
{
    QString visible = text::blankControls(value);
    visible.replace(QLatin1Char(' '), QChar(0x00B7));
    return visible;
}

FieldView::FieldView(const QString& line, int lineNumber, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FieldView"));
    setWindowTitle(QStringLiteral("Campi della riga %1").arg(lineNumber));

    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setTextFormat(Qt::PlainText);
    summary_->setWordWrap(true);
    warning_ = new QLabel(this);
    warning_->setObjectName(QStringLiteral("warning"));
    warning_->setTextFormat(Qt::PlainText);
    warning_->setWordWrap(true);
    QPalette red = warning_->palette();
    red.setColor(QPalette::WindowText, kAvviso);
    warning_->setPalette(red);
    warning_->hide();

    fields_ = new QTableWidget(0, 6, this);
    fields_->setObjectName(QStringLiteral("fields"));
    fields_->setHorizontalHeaderLabels({QStringLiteral("N."), QStringLiteral("Contenuto"), QStringLiteral("Posizioni"),
                                        QStringLiteral("Larghezza"), QStringLiteral("Valore"),
                                        QStringLiteral("Significato")});
    // Tab leaves the table for "&Chiudi"; the arrows walk the fields.
    setUpReadOnlyTable(fields_);
    fields_->horizontalHeader()->setStretchLastSection(true);

    auto* buttons = new QDialogButtonBox(this);
    auto* closeButton = buttons->addButton(QStringLiteral("&Chiudi"), QDialogButtonBox::RejectRole);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(warning_);
    layout->addWidget(fields_, 1);
    layout->addWidget(buttons);

    const ParsedLine parsed = exporter::parseLine(line);
    switch (parsed.kind) {
    case ParsedLine::Kind::Header:
        summary_->setText(QStringLiteral("È la riga di intestazione del file (\"%1\"): non contiene i dati di un "
                                         "ospite.")
                              .arg(visibleBlanks(line)));
        fields_->hide();
        // Its size is no guide for a record's view.
        setObjectName(QStringLiteral("FieldViewHeader"));
        fitToScreen(this, QSize(560, 140));
        return;
    case ParsedLine::Kind::Record:
        summary_->setText(QStringLiteral("Record di %1, arrivo %2, partenza %3: %4 campi, %5 caratteri.")
                              .arg(text::blankControls(exporter::guestName(line)),
                                   dateForPeople(parsed.at(exporter::fieldNo::Arrivo)),
                                   dateForPeople(parsed.at(exporter::fieldNo::Partenza)))
                              .arg(exporter::kFieldCount)
                              .arg(line.size()));
        break;
    case ParsedLine::Kind::Malformed:
        summary_->setText(QStringLiteral("Riga di %1 caratteri.").arg(line.size()));
        warning_->setText(text::blankControls(parsed.problem));
        warning_->show();
        break;
    }
    fillFields(parsed.fields);
    fitToScreen(this, QSize(980, 720));
}

void FieldView::fillFields(const QStringList& values)
{
    const QFont fixedFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const auto& layout = exporter::recordLayout();
    db::Run run;  // "Comuni.mdb" read once for every code of the line
    fields_->setRowCount(static_cast<int>(layout.size()));
    for (int r = 0; r < static_cast<int>(layout.size()); ++r) {
        const exporter::RecordField& f = layout[r];
        const QString value = values.value(r);
        const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
        fields_->setItem(r, Number, makeCell(QString::number(f.number), right));
        fields_->setItem(r, Description, makeCell(QString::fromUtf16(f.description)));
        fields_->setItem(
            r, Positions,
            makeCell(f.width == 1 ? QString::number(f.start) : QStringLiteral("%1–%2").arg(f.start).arg(f.end())));
        fields_->setItem(r, Width, makeCell(QString::number(f.width), right));
        auto* cell = makeCell(visibleBlanks(value));
        cell->setFont(fixedFont);
        cell->setToolTip(plainToolTip(visibleBlanks(value)));
        fields_->setItem(r, Value, cell);
        // A field the line does not reach has nothing to look up.
        const bool complete = value.size() == f.width;
        fields_->setItem(r, Meaning,
                         makeCell(complete ? text::blankControls(fieldMeaning(run, f.number, value, f.code))
                                           : QStringLiteral("campo incompleto (%1 caratteri)").arg(value.size())));
    }
    fields_->resizeColumnsToContents();
    // The 320 blanks of field 25 would widen the view beyond any screen.
    fields_->setColumnWidth(Value, std::min(fields_->columnWidth(Value), 380));
}

}  // namespace ostelvia::ui
