// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/ReportParts.h"

#include <QAbstractTextDocumentLayout>
#include <QDate>
#include <QDialog>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTextDocument>

#include "ui/dialogs/DialogLook.h"

namespace ostelvia::ui {

ReportButtons addReportButtons(QDialog* window)
{
    ReportButtons buttons{new QPushButton(QStringLiteral("&Salva CSV…"), window),
                          new QPushButton(QStringLiteral("S&tampa…"), window),
                          new QPushButton(QStringLiteral("&Chiudi"), window), new QHBoxLayout};
    buttons.saveCsv->setObjectName(QStringLiteral("saveCsv"));
    buttons.print->setObjectName(QStringLiteral("print"));
    buttons.close->setObjectName(QStringLiteral("closeButton"));
    buttons.row->addStretch();
    for (QPushButton* button : {buttons.saveCsv, buttons.print, buttons.close}) {
        button->setFont(corbelFont(11.25));
        button->setAutoDefault(false);
        buttons.row->addWidget(button);
    }
    QObject::connect(buttons.close, &QPushButton::clicked, window, &QDialog::accept);
    return buttons;
}

QLabel* reportLabel(const QString& text, const QString& objectName, bool bold, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setFont(corbelFont(11.25, bold));
    return label;
}

void setUpReadOnlyTable(QTableView* table)
{
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setWordWrap(false);
    table->setTabKeyNavigation(false);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
}

void setA4Paper(QPrinter& printer, bool landscape, qreal marginMm)
{
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                      landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter));
}

QString printedOnText(const QDate& date)
{
    return QStringLiteral("Stampato il %1").arg(date.toString(QStringLiteral("dd/MM/yyyy")));
}

QString chooseCsvPath(QWidget* parent, const QString& proposedName)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Salva CSV"), proposedName,
                                        QStringLiteral("File CSV (*.csv)"));
}

bool choosePrinter(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Stampa"));
    return dialog.exec() == QDialog::Accepted;
}

bool printHtml(QPrinter& printer, const QString& html, const QFont& font)
{
    QTextDocument document;
    document.setDefaultFont(font);
    document.setHtml(html);
    document.print(&printer);
    return printer.printerState() != QPrinter::Error;
}

PagedDocument::PagedDocument(const QString& html, const QFont& font, QPaintDevice* device, const QSizeF& page)
    : document_(std::make_unique<QTextDocument>()),
      font_(font, device),
      page_(page),
      footerHeight_(QFontMetricsF(font, device).height() * 2)
{
    document_->documentLayout()->setPaintDevice(device);
    document_->setDefaultFont(font);
    document_->setPageSize(QSizeF(page.width(), page.height() - footerHeight_));
    document_->setHtml(html);
}

PagedDocument::~PagedDocument() = default;

int PagedDocument::pageCount() const
{
    return document_->pageCount();
}

void PagedDocument::paintPage(QPainter& painter, int number, const QString& footer) const
{
    // Each page shows its own slice of the one long document.
    const qreal bodyHeight = document_->pageSize().height();
    const QRectF slice(0, (number - 1) * bodyHeight, page_.width(), bodyHeight);
    painter.save();
    painter.setClipRect(QRectF(0, 0, page_.width(), bodyHeight));
    painter.translate(0, -slice.top());
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = slice;
    document_->documentLayout()->draw(&painter, context);
    painter.restore();
    painter.setFont(font_);
    const QRectF footerBox(0, page_.height() - footerHeight_, page_.width(), footerHeight_);
    painter.drawText(footerBox, Qt::AlignLeft | Qt::AlignBottom, footer);
    painter.drawText(footerBox, Qt::AlignRight | Qt::AlignBottom,
                     QStringLiteral("Pagina %1 di %2").arg(number).arg(pageCount()));
}

bool printPagedHtml(QPrinter& printer, const QString& html, const QFont& font, const QString& footer)
{
    const PagedDocument document(html, font, &printer, printer.pageRect(QPrinter::DevicePixel).size());
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    for (int number = 1; number <= document.pageCount(); ++number) {
        if (number > 1)
            printer.newPage();
        document.paintPage(painter, number, footer);
    }
    painter.end();
    return printer.printerState() != QPrinter::Error;
}

namespace {

QString grouped(const QString& digits)
{
    QString out;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += QLatin1Char('.');
        out += digits.at(i);
    }
    return out;
}

}  // namespace

QString printedNumber(const QString& cell, bool amount)
{
    static const QRegularExpression form(QStringLiteral("^(-?)(\\d+)(,\\d\\d)?$"));
    const QRegularExpressionMatch m = form.match(cell);
    if (!m.hasMatch())
        return cell;
    const QString number = m.captured(1) + grouped(m.captured(2)) + m.captured(3);
    return amount ? QStringLiteral("€ ") + number : number;
}

}  // namespace ostelvia::ui
