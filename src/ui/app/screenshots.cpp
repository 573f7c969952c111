// SPDX-License-Identifier: GPL-3.0-or-later
// ostelvia_screenshots OUTPUT_DIR: pictures of the main window after a run,
// of the message dialog showing a card's findings, of the input dialog, of
// the review windows (fields, totals, the send question), of the report of
// the check of every card, of the tax report (with its subtotals, its stays
// and its printed pages) and of its rules, and of the folder chooser.
// Run it in a front-office directory whose "TaxSetup.txt" points the export
// somewhere writable; nothing is started and nothing is sent.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QProgressDialog>
#include <QTableWidget>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <functional>

#include "export/SendArchive.h"
#include "export/TextFiles.h"
#include "ui/dialogs/DialogLook.h"
#include "ui/main/MainWindow.h"
#include "ui/main/QtTranslations.h"
#include "ui/main/ReportParts.h"
#include "ui/main/StaysWindow.h"
#include "ui/main/TaxReportWindow.h"

namespace {

using ostelvia::ui::OstelviaDT;

class NothingStarted : public ostelvia::ui::ProcessStarter {
public:
    bool startDetached(const QString&) override { return true; }
};

void settle(int ms = 300)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget* widget, const QString& path)
{
    const bool ok = widget->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

// Waits for the next modal dialog, pictures it, then presses its button.
// prepare, when given, arranges the dialog before the picture.
void pictureNextDialog(const QString& path, const QString& button, bool* ok, std::function<void(QWidget*)> prepare = {})
{
    auto* timer = new QTimer;
    auto* elapsed = new QElapsedTimer;
    elapsed->start();
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        // A long check's progress bar is no dialog to picture.
        if (qobject_cast<QProgressDialog*>(modal))
            return;
        if (!modal) {
            if (elapsed->elapsed() > 10000) {
                std::printf("FAILED no dialog for %s\n", qPrintable(path));
                *ok = false;
                timer->stop();
                timer->deleteLater();
                delete elapsed;
            }
            return;
        }
        timer->stop();
        if (prepare)
            prepare(modal);
        // One more turn so the dialog has laid itself out and painted.
        QTimer::singleShot(300, modal, [=] {
            *ok = save(modal, path) && *ok;
            // An empty name would find any button at all.
            if (auto* pressed = button.isEmpty() ? nullptr : modal->findChild<QAbstractButton*>(button))
                pressed->click();
            else if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        });
        timer->deleteLater();
        delete elapsed;
    });
    timer->start(20);
}

// The printed pages of an HTML report on A4 (portrait or landscape) at 96
// dots per inch, as the print paints them: name-1.png, name-2.png, ...
bool savePrintedPages(const QString& html, const QFont& font, const QString& footer, bool landscape,
                      const QString& pathStem)
{
    constexpr qreal kDotsPerInch = 96;
    constexpr qreal kMarginMm = 15;
    const QSizeF a4Mm = landscape ? QSizeF(297, 210) : QSizeF(210, 297);
    const auto dots = [](qreal mm) { return mm / 25.4 * kDotsPerInch; };
    QImage sheet(QSize(qRound(dots(a4Mm.width())), qRound(dots(a4Mm.height()))), QImage::Format_RGB32);
    sheet.setDotsPerMeterX(qRound(kDotsPerInch / 0.0254));
    sheet.setDotsPerMeterY(qRound(kDotsPerInch / 0.0254));
    const QSizeF printable(sheet.width() - 2 * dots(kMarginMm), sheet.height() - 2 * dots(kMarginMm));
    const ostelvia::ui::PagedDocument document(html, font, &sheet, printable);
    bool ok = true;
    for (int number = 1; number <= document.pageCount() && number <= 3; ++number) {
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        painter.translate(dots(kMarginMm), dots(kMarginMm));
        document.paintPage(painter, number, footer);
        painter.end();
        const QString path = QStringLiteral("%1-%2.png").arg(pathStem).arg(number);
        const bool saved = sheet.save(path);
        std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
        ok = ok && saved;
    }
    return ok;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ostelvia::ui::loadQtItalian(app);
    if (argc != 2) {
        std::fprintf(stderr, "Uso: ostelvia_screenshots CARTELLA_IMMAGINI\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool ok = true;

    NothingStarted starter;
    OstelviaDT window(&starter);
    window.show();
    window.activateWindow();
    settle();

    // The wide range of the demo data: every line listed and selected.
    window.dataDaField()->setText(QStringLiteral("01/01/2000"));
    window.dataAField()->setText(QStringLiteral("30/04/2024"));
    window.creaFileButton()->click();
    settle();
    ok = save(&window, out.filePath(QStringLiteral("main-window.png"))) && ok;

    // Reviewing: a few lines switched off before sending.
    for (int i : {2, 4, 5})
        window.linesList()->setLineSelected(i, false);
    settle(100);
    ok = save(&window, out.filePath(QStringLiteral("main-window-review.png"))) && ok;

    // The review before sending: a line field by field (its double-click),
    // then the totals of "Verifica".
    pictureNextDialog(out.filePath(QStringLiteral("field-view.png")), QStringLiteral("closeButton"), &ok,
                      [](QWidget* view) {
                          if (auto* fields = view->findChild<QTableWidget*>(QStringLiteral("fields")))
                              fields->scrollToBottom();  // the code fields and their names
                      });
    emit window.linesList()->doubleClicked(window.linesList()->model()->index(1, 0));
    settle();
    pictureNextDialog(out.filePath(QStringLiteral("totals.png")), QStringLiteral("closeButton"), &ok);
    window.findChild<QAction*>(QStringLiteral("totals"))->trigger();
    settle();

    // A card with twelve findings stops the run in the message dialog.
    window.dataDaField()->setText(QStringLiteral("27/06/2024"));
    window.dataAField()->setText(QStringLiteral("27/06/2024"));
    pictureNextDialog(out.filePath(QStringLiteral("message-dialog.png")), QStringLiteral("T0"), &ok);
    window.creaFileButton()->click();
    settle();

    // The export path prompt of the settings menu, answered "Annulla".
    pictureNextDialog(out.filePath(QStringLiteral("input-dialog.png")), QStringLiteral("T1"), &ok);
    window.percorsoFileAction()->trigger();
    settle();

    // "Invia" after an earlier send of three of the lines, one of them since
    // corrected: the warning, answered "No".
    window.dataDaField()->setText(QStringLiteral("01/01/2000"));
    window.dataAField()->setText(QStringLiteral("30/04/2024"));
    window.creaFileButton()->click();
    settle();
    QStringList earlier;
    for (int i = 0; i < 4 && i < window.linesList()->lineCount(); ++i)
        earlier.append(window.linesList()->lineText(i));
    if (earlier.size() == 4)
        earlier[3].replace(29, 8, QStringLiteral("20240301"));
    QDir().mkpath(ostelvia::exporter::kArchiveFolder);
    ostelvia::exporter::writeText(
        QDir(ostelvia::exporter::kArchiveFolder).filePath(QStringLiteral("2024-04-30_09-12-40.txt")),
        earlier.join(ostelvia::exporter::kCrLf));
    pictureNextDialog(out.filePath(QStringLiteral("send-warning.png")), QStringLiteral("T1"), &ok);
    window.inviaButton()->click();
    settle();

    ok = save(&window, out.filePath(QStringLiteral("main-window-after-dialogs.png"))) && ok;

    // "&Verifica" > "&Controlla tutte le schede…" over the demo data's whole
    // range: every card with problems in the report, closed with "Chiudi".
    window.dataDaField()->setText(QStringLiteral("31/12/1999"));
    window.dataAField()->setText(QStringLiteral("03/08/2024"));
    pictureNextDialog(out.filePath(QStringLiteral("check-report.png")), QStringLiteral("closeButton"), &ok);
    window.checkAllCardsAction()->trigger();
    settle();

    // "&Verifica" > "Rendiconto dell'&imposta…" over the same range, under
    // the demo's rules; then those rules in their dialog, left unchanged.
    window.dataDaField()->setText(QStringLiteral("31/12/1999"));
    window.dataAField()->setText(QStringLiteral("03/08/2024"));
    // With it, the stays behind it and the printed pages.
    pictureNextDialog(
        out.filePath(QStringLiteral("tax-report.png")), QStringLiteral("closeButton"), &ok,
        [&ok, &out](QWidget* modal) {
            auto* report = qobject_cast<ostelvia::ui::TaxReportWindow*>(modal);
            if (!report)
                return;
            ok = savePrintedPages(report->printableHtml(), ostelvia::ui::arialFont(9), report->printFooter(), false,
                                  out.filePath(QStringLiteral("tax-report-print")))
                && ok;
            ostelvia::ui::StaysWindow stays(report->report(), report->period(), report);
            stays.show();
            settle();
            ok = save(&stays, out.filePath(QStringLiteral("tax-stays.png"))) && ok;
            ok = savePrintedPages(stays.printableHtml(), ostelvia::ui::arialFont(7), report->printFooter(), true,
                                  out.filePath(QStringLiteral("tax-stays-print")))
                && ok;
            stays.close();
        });
    window.taxReportAction()->trigger();
    settle();
    // Two years of the demo's departures: quarter and year subtotals.
    window.dataDaField()->setText(QStringLiteral("01/01/2023"));
    window.dataAField()->setText(QStringLiteral("03/08/2024"));
    pictureNextDialog(out.filePath(QStringLiteral("tax-report-subtotals.png")), QStringLiteral("closeButton"), &ok,
                      [](QWidget* modal) {
                          if (auto* table = modal->findChild<QTableWidget*>(QStringLiteral("table")))
                              table->scrollToBottom();
                      });
    window.taxReportAction()->trigger();
    settle();
    pictureNextDialog(out.filePath(QStringLiteral("tax-rules.png")), QStringLiteral("cancel"), &ok);
    window.taxRulesAction()->trigger();
    settle();
    // "Impostazioni" > "Cartella del programma di ricevimento…": the folder
    // chooser, cancelled.
    pictureNextDialog(out.filePath(QStringLiteral("folder-chooser.png")), QString(), &ok);
    if (auto* cartella = window.findChild<QAction*>(QStringLiteral("menuCartella")))
        cartella->trigger();
    settle();
    ok = save(&window, out.filePath(QStringLiteral("main-window-end.png"))) && ok;
    return ok ? 0 : 1;
}
