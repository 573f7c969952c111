// SPDX-License-Identifier: GPL-3.0-or-later
// What the report windows (the check of every card, the tax report) share:
// the row of buttons they end with and their printing.
#pragma once

#include <QFont>
#include <QSizeF>
#include <QString>

#include <memory>

class QDialog;
class QPaintDevice;
class QPainter;
class QTableView;
class QTextDocument;
class QDate;
class QHBoxLayout;
class QLabel;
class QPrinter;
class QPushButton;
class QWidget;

namespace ostelvia::ui {

// "&Salva CSV…", "S&tampa…" and "&Chiudi" (which closes the window), right
// aligned in `row`. Enter presses none of them unless it has the focus.
struct ReportButtons {
    QPushButton* saveCsv;
    QPushButton* print;
    QPushButton* close;
    QHBoxLayout* row;
};
ReportButtons addReportButtons(QDialog* window);

// A line of the report's heading: plain text, whatever a card's data holds.
QLabel* reportLabel(const QString& text, const QString& objectName, bool bold, QWidget* parent);

// A table the clerk reads and does not edit: whole rows selected, no word
// wrap, no row numbers, Tab moving on to the next control (the arrows move
// inside), rows as high as the font needs.
void setUpReadOnlyTable(QTableView* table);

// A4 paper, `orientation`, margins of `marginMm` all round.
void setA4Paper(QPrinter& printer, bool landscape, qreal marginMm);

// "Stampato il 03/02/2024": the foot of a printed report's pages.
QString printedOnText(const QDate& date);

// The save dialog for a CSV, proposing the name; empty when the clerk cancels.
QString chooseCsvPath(QWidget* parent, const QString& proposedName);

// The print dialog, titled "Stampa"; false when the clerk cancels.
bool choosePrinter(QPrinter& printer, QWidget* parent);

// Prints the HTML in the font; false when the printer failed.
bool printHtml(QPrinter& printer, const QString& html, const QFont& font);

// HTML laid out in pages of a device, each painted with a footer: `footer`
// on the left, "Pagina N di M" on the right.
class PagedDocument {
public:
    // page: the printable size in the device's pixels.
    PagedDocument(const QString& html, const QFont& font, QPaintDevice* device, const QSizeF& page);
    ~PagedDocument();
    PagedDocument(const PagedDocument&) = delete;
    PagedDocument& operator=(const PagedDocument&) = delete;

    int pageCount() const;
    // Paints page `number` (from 1) at the painter's origin.
    void paintPage(QPainter& painter, int number, const QString& footer) const;

private:
    std::unique_ptr<QTextDocument> document_;
    QFont font_;
    QSizeF page_;
    qreal footerHeight_;
};

// As printHtml, a document to hand over: every page with its footer.
bool printPagedHtml(QPrinter& printer, const QString& html, const QFont& font, const QString& footer);

// Whole numbers with thousands separators ("12.345"), amounts such as
// "1234,50" as "€ 1.234,50"; any other text as it is.
QString printedNumber(const QString& cell, bool amount);

}  // namespace ostelvia::ui
