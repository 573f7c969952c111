// SPDX-License-Identifier: GPL-3.0-or-later
// The tax report offscreen: its window (rows, total, rules, stays not
// computed, CSV, print to PDF, size kept and fitted to the screen, Tab
// leaving the table), "&Verifica" > "Rendiconto dell'&imposta…" on the typed
// range with the dates kept, and the rules dialog writing only valid files.
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextTable>
#include <QtTest>

#include "DialogAnswer.h"
#include "export/TaxOutput.h"
#include "export/TaxRules.h"
#include "FrontOffice.h"
#include "ui/main/StaysWindow.h"
#include "ui/main/TaxReportWindow.h"
#include "ui/main/TaxRulesDialog.h"

using namespace ostelvia;
using test::Front;

namespace {

exporter::TaxReport sampleReport(int months = 2)
{
    exporter::TaxReport report;
    report.rules = exporter::parseTaxRules("Tariffa=3,50\nStagione=01/11/2023 31/03/2024 2\nEtaEsente=14\n");
    for (int i = 0; i < months; ++i) {
        const exporter::TaxCounts counts{2, 6 + i, 0, 3, 0, 3 + i, 350 * (3 + i), {{350, {3 + i, 350 * (3 + i)}}}};
        report.months[(2000 + i / 12) * 100 + i % 12 + 1] = counts;
        report.total += counts;
    }
    report.uncomputed.push_back({QStringLiteral("Scheda_Cliente.mdb"), QStringLiteral("105"), QStringLiteral("1259"),
                                 QStringLiteral("GENTILE <b>UGO</b>"), QString(), QStringLiteral("18/05/2024")});
    return report;
}

QStringList row(const QTableWidget* table, int r)
{
    QStringList cells;
    for (int c = 0; c < table->columnCount(); ++c)
        cells.append(table->item(r, c)->text());
    return cells;
}

}  // namespace

class TestTaxReport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The remembered window size goes to a throwaway settings folder.
        qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    }

    void showsTheMonthsTheTotalTheRulesAndSavesPrintsThem()
    {
        QTemporaryDir out;
        ui::TaxReportWindow window(sampleReport(), QStringLiteral("Partenze dal 01/01/2000 al 31/12/2000"));
        window.show();
        QCOMPARE(window.table()->rowCount(), 3);
        QCOMPARE(row(window.table(), 0), (QStringList{"01/2000", "2", "6", "0", "3", "0", "3", "10,50"}));
        QCOMPARE(row(window.table(), 2), (QStringList{"Totale", "4", "13", "0", "6", "0", "7", "24,50"}));
        QVERIFY(window.table()->item(2, 0)->font().bold());
        QVERIFY(window.rulesLabel()->text().contains(QStringLiteral("Tariffa: 3,50 euro a persona per notte")));
        QVERIFY(window.rulesLabel()->text().contains(QStringLiteral("Stagione dal 01/11/2023 al 31/03/2024: 2,00")));
        QCOMPARE(window.uncomputedList()->count(), 1);
        QVERIFY(window.uncomputedList()->isVisible());
        for (QPushButton* button : {window.saveCsvButton(), window.printButton(), window.closeButton()})
            QVERIFY2(button->text().contains(QLatin1Char('&')), qPrintable(button->text()));

        const QString csvPath = out.filePath(QStringLiteral("rendiconto.csv"));
        window.setAskPath([&](QWidget*) { return csvPath; });
        window.saveCsvButton()->click();
        const QByteArray csv = test::readBytes(csvPath);
        QVERIFY(csv.startsWith("\xEF\xBB\xBF\"Mese\";\"Soggiorni\""));
        QVERIFY(csv.contains("\r\n\"02/2000\";\"2\";\"7\";\"0\";\"3\";\"0\";\"4\";\"14,00\"\r\n"));
        QVERIFY(csv.endsWith("\"Totale\";\"4\";\"13\";\"0\";\"6\";\"0\";\"7\";\"24,50\"\r\n"));
        QVERIFY(test::isOwnerOnly(csvPath));

        const QString pdfPath = out.filePath(QStringLiteral("rendiconto.pdf"));
        window.setAskPrinter([&](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdfPath);
            return true;
        });
        window.printButton()->click();
        QVERIFY(test::readBytes(pdfPath).startsWith("%PDF"));
        // The printout explains itself, and a name is printed as written.
        const QString html = window.printableHtml();
        QVERIFY(html.contains(QStringLiteral("Esenti i minori di 14 anni")));
        QVERIFY(html.contains(QStringLiteral("GENTILE &lt;b&gt;UGO&lt;/b&gt;")));
    }

    void aLongReportPrintsOnSeveralPagesWithItsHeadings()
    {
        QTemporaryDir out;
        ui::TaxReportWindow window(sampleReport(150), QStringLiteral("Dieci anni"));
        // 150 months, 50 quarters and 13 years, and the total.
        QCOMPARE(window.table()->rowCount(), 214);
        // The table's heading row is repeated at the top of every page.
        QTextDocument document;
        document.setHtml(window.printableHtml());
        QTextTable* table = nullptr;
        for (QTextFrame* frame : document.rootFrame()->childFrames())
            table = table ? table : qobject_cast<QTextTable*>(frame);
        QVERIFY(table);
        QCOMPARE(table->format().headerRowCount(), 1);
        QCOMPARE(table->rows(), 215);
        const QString pdfPath = out.filePath(QStringLiteral("lungo.pdf"));
        window.setAskPrinter([&](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdfPath);
            return true;
        });
        window.printButton()->click();
        const QByteArray pdf = test::readBytes(pdfPath);
        QVERIFY(pdf.count("/Type /Page") - pdf.count("/Type /Pages") >= 2);
    }

    // What a bookkeeper files: quarter and year subtotals, the nights and tax
    // at each tariff, and a printout with euro signs, thousands separators,
    // the date it was printed and what "Soggiorni" counts.
    void subtotalsTariffsAndThePrintedDocument()
    {
        exporter::TaxReport report;
        report.rules = exporter::parseTaxRules("Tariffa=3,50\nStagione=01/12/2023 31/12/2023 4,50\n");
        const std::pair<int, exporter::TaxCounts> months[] = {
            {202311, {10, 40, 0, 0, 0, 40, 14000, {{350, {40, 14000}}}}},
            {202312, {300, 1000, 0, 0, 0, 1000, 450000, {{450, {1000, 450000}}}}},
            {202401, {5, 20, 2, 0, 0, 18, 6300, {{350, {18, 6300}}}}},
        };
        for (const auto& [month, counts] : months) {
            report.months[month] = counts;
            report.total += counts;
        }
        ui::TaxReportWindow window(report, QStringLiteral("Partenze dal 01/11/2023 al 31/01/2024, tutte le camere"));
        window.setPrintDate(QDate(2024, 2, 3));
        const QStringList labels = {"11/2023", "12/2023",           "4° trimestre 2023", "Anno 2023",
                                    "01/2024", "1° trimestre 2024", "Anno 2024",         "Totale"};
        QCOMPARE(window.table()->rowCount(), int(labels.size()));
        for (int r = 0; r < labels.size(); ++r) {
            QCOMPARE(window.table()->item(r, 0)->text(), labels.at(r));
            QCOMPARE(window.table()->item(r, 0)->font().bold(), labels.at(r).contains(QLatin1Char(' ')) || r == 7);
        }
        QCOMPARE(row(window.table(), 2),
                 (QStringList{"4° trimestre 2023", "310", "1040", "0", "0", "0", "1040", "4640,00"}));
        QCOMPARE(row(window.table(), 7), (QStringList{"Totale", "315", "1060", "2", "0", "0", "1058", "4703,00"}));
        QCOMPARE(window.tariffTable()->rowCount(), 2);
        QCOMPARE(row(window.tariffTable(), 0), (QStringList{"3,50", "58", "203,00"}));
        QCOMPARE(row(window.tariffTable(), 1), (QStringList{"4,50", "1000", "4500,00"}));
        QVERIFY(window.table()->horizontalHeaderItem(1)->toolTip().contains(QStringLiteral("per ospite")));

        const QString html = window.printableHtml();
        QVERIFY(html.contains(QStringLiteral("€ 4.703,00")));
        QVERIFY(html.contains(QStringLiteral(">1.060<")));
        QVERIFY(html.contains(QStringLiteral("€ 4,50")));
        QVERIFY(html.contains(QStringLiteral("nel mese della partenza")));
        QCOMPARE(window.printFooter(), QStringLiteral("Stampato il 03/02/2024"));
        // The month CSV keeps its rows: months and the total only.
        QTemporaryDir out;
        window.setAskPath([&](QWidget*) { return out.filePath(QStringLiteral("r.csv")); });
        window.saveCsvButton()->click();
        QCOMPARE(test::readBytes(out.filePath(QStringLiteral("r.csv"))).count("\r\n"), 5);
    }

    // "Soggiorni…": the stays behind the figures, filtered by month and by
    // exemption, sorted by value, saved as shown.
    void theStaysWindowFiltersSortsAndSavesWhatItShows()
    {
        exporter::TaxReport report;
        auto stay = [](const char* number, const char* departure, int month, qint64 nights, bool resident,
                       qint64 cents) {
            exporter::StayDetail detail{QStringLiteral("Scheda_Cliente.mdb"),
                                        QStringLiteral("101"),
                                        QString::fromLatin1(number),
                                        QStringLiteral("OSPITE"),
                                        QStringLiteral("01/03/2024"),
                                        QString::fromLatin1(departure),
                                        true,
                                        month,
                                        {}};
            detail.counts = {1, nights, resident ? nights : 0, 0, 0, resident ? 0 : nights, cents, {}};
            return detail;
        };
        report.stays = {stay("1", "10/03/2024", 202403, 9, false, 900),
                        stay("2", "05/04/2024", 202404, 35, false, 1050), stay("3", "04/03/2024", 202403, 3, true, 0)};
        report.stays.push_back({QStringLiteral("SchedaStoricoClienti.mdb"),
                                QStringLiteral("9"),
                                QStringLiteral("4"),
                                QStringLiteral("SENZA DATE"),
                                QStringLiteral("//"),
                                QStringLiteral("05/04/2024"),
                                false,
                                0,
                                {}});
        ui::StaysWindow window(report, QStringLiteral("Partenze"));
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.table()->model()->rowCount(), 4);
        QCOMPARE(window.monthFilter()->count(), 3);  // tutti, 03/2024, 04/2024
        window.monthFilter()->setCurrentIndex(1);
        QCOMPARE(window.shownRows().size(), size_t(2));
        window.exemptionFilter()->setCurrentIndex(window.exemptionFilter()->findText(QStringLiteral("residente")));
        QCOMPARE(window.shownRows().size(), size_t(1));
        QCOMPARE(window.shownRows()[0].at(2), QStringLiteral("3"));
        QCOMPARE(window.countLabel()->text(), QStringLiteral("1 soggiorno"));
        window.monthFilter()->setCurrentIndex(0);
        window.exemptionFilter()->setCurrentIndex(
            window.exemptionFilter()->findText(QStringLiteral("non calcolabile")));
        QCOMPARE(window.shownRows().size(), size_t(1));
        QCOMPARE(window.shownRows()[0].at(3), QStringLiteral("SENZA DATE"));

        window.exemptionFilter()->setCurrentIndex(window.exemptionFilter()->findText(QStringLiteral("nessuna")));
        // By value: 10,50 after 9,00, 35 nights after 9.
        window.table()->sortByColumn(11, Qt::DescendingOrder);
        QCOMPARE(window.shownRows()[0].at(11), QStringLiteral("10,50"));
        window.table()->sortByColumn(7, Qt::AscendingOrder);
        QCOMPARE(window.shownRows()[0].at(7), QStringLiteral("9"));

        QTemporaryDir out;
        const QString csvPath = out.filePath(QStringLiteral("soggiorni.csv"));
        window.setAskPath([&](QWidget*) { return csvPath; });
        window.saveCsvButton()->click();
        const QByteArray csv = test::readBytes(csvPath);
        QVERIFY(csv.startsWith("\xEF\xBB\xBF\"Archivio\";\"Camera\""));
        QCOMPARE(csv.count("\r\n"), 3);
        QVERIFY(csv.contains(
            "\"1\";\"OSPITE\";\"01/03/2024\";\"10/03/2024\";\"03/2024\";\"9\";\"\";\"0\";\"9\";\"9,00\"\r\n"));
    }

    void keepsItsSizeWithinTheScreenAndTabLeavesTheTable()
    {
        {
            ui::TaxReportWindow window(sampleReport(), QString());
            window.show();
            QVERIFY(window.width() <= 1024 && window.height() <= 768);
            window.resize(700, 450);
        }
        {
            ui::TaxReportWindow window(sampleReport(), QString());
            QCOMPARE(window.size(), QSize(700, 450));
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            window.table()->setFocus();
            QTest::keyClick(window.table(), Qt::Key_Tab);
            QVERIFY(QApplication::focusWidget() != window.table());
        }
        // A size saved on a larger screen is cut to this one.
        {
            ui::TaxReportWindow window(sampleReport(), QString());
            window.resize(5000, 4000);
        }
        ui::TaxReportWindow window(sampleReport(), QString());
        const QSize screen = window.screen()->availableGeometry().size();
        QVERIFY(window.width() <= screen.width() && window.height() <= screen.height());
    }

    void theMenuReportsTheTypedRangeAndKeepsTheDates()
    {
        Front f;
        QVERIFY(f.active());
        test::writeBytes(f.dir.filePath(QStringLiteral("ImpostaSoggiorno.txt")), "Tariffa=2\nNottiMassime=2\n");
        f.setDates(QStringLiteral("01/03/2024"), QStringLiteral("31/05/2024"));
        QStringList total;
        QString csvName;
        int rows = 0;
        test::answerNext([&](QDialog* dialog) {
            auto* report = qobject_cast<ui::TaxReportWindow*>(dialog);
            QVERIFY(report);
            csvName = report->csvName();
            rows = report->table()->rowCount();
            total = row(report->table(), rows - 1);
            report->closeButton()->click();
        });
        f.window->taxReportAction()->trigger();
        // The spring of the reference answers, flat tariff, two nights at most:
        // three months over two quarters, each with its subtotal.
        QCOMPARE(rows, 6);
        QCOMPARE(csvName, QStringLiteral("Rendiconto imposta 01-03-2024 31-05-2024.csv"));
        QCOMPARE(total, (QStringList{"Totale", "59", "184", "0", "0", "66", "118", "236,00"}));
        QCOMPARE(f.field(0)->text(), QStringLiteral("01/03/2024"));
        QCOMPARE(f.field(1)->text(), QStringLiteral("31/05/2024"));
        QVERIFY(!QApplication::overrideCursor());

        // A wrong rules file: the message names it, the dates stay.
        test::writeBytes(f.dir.filePath(QStringLiteral("ImpostaSoggiorno.txt")), "Tariffa=2\nTariffa=3\n");
        test::DialogAnswer answer(QStringLiteral("T0"));
        f.window->taxReportAction()->trigger();
        QCOMPARE(answer.seen().size(), 1);
        QVERIFY(answer.seen().at(0).text.contains(QStringLiteral("\"ImpostaSoggiorno.txt\" non va bene, riga 2")));
        QCOMPARE(f.field(0)->text(), QStringLiteral("01/03/2024"));
        QVERIFY(f.dir.databasesUntouched());
    }

    void theRulesDialogWritesOnlyValidRules()
    {
        test::ScratchDir dir;
        test::writeBytes(dir.filePath(QStringLiteral("ImpostaSoggiorno.txt")),
                         "Tariffa=1,5\nStagione=01/06/2024 31/08/2024 4\nComuneResidenti=ROMA\n");
        const QByteArray before = test::readBytes(dir.filePath(QStringLiteral("ImpostaSoggiorno.txt")));
        ui::TaxRulesDialog dialog({QStringLiteral("ROMA"), QStringLiteral("ROVIGO")});
        QCOMPARE(dialog.tariffField()->text(), QStringLiteral("1,50"));
        QCOMPARE(dialog.seasonsTable()->rowCount(), 1);
        QCOMPARE(dialog.municipalityField()->text(), QStringLiteral("ROMA"));

        struct Wrong {
            std::function<void()> make;
            const char* problem;
        };
        const Wrong wrongs[] = {
            {[&] { dialog.tariffField()->setText(QStringLiteral("1,505")); }, "Tariffa"},
            {[&] { dialog.seasonsTable()->item(0, 0)->setText(QStringLiteral("31/09/2024")); }, "Stagione 1"},
            {[&] { dialog.seasonsTable()->item(0, 1)->setText(QStringLiteral("01/05/2024")); },
             "precedente alla prima"},
            {[&] { dialog.municipalityField()->setText(QStringLiteral("MACONDO")); }, "MACONDO"},
        };
        for (const Wrong& wrong : wrongs) {
            dialog.tariffField()->setText(QStringLiteral("1,50"));
            dialog.seasonsTable()->item(0, 0)->setText(QStringLiteral("01/06/2024"));
            dialog.seasonsTable()->item(0, 1)->setText(QStringLiteral("31/08/2024"));
            dialog.municipalityField()->setText(QStringLiteral("ROMA"));
            wrong.make();
            dialog.saveButton()->click();
            QVERIFY2(dialog.problemLabel()->text().contains(QString::fromUtf8(wrong.problem)),
                     qPrintable(dialog.problemLabel()->text()));
            QCOMPARE(test::readBytes(dir.filePath(QStringLiteral("ImpostaSoggiorno.txt"))), before);
        }

        dialog.municipalityField()->setText(QStringLiteral("ROMA"));
        dialog.addSeasonButton()->click();
        dialog.seasonsTable()->item(1, 0)->setText(QStringLiteral("15/07/2024"));
        dialog.seasonsTable()->item(1, 1)->setText(QStringLiteral("15/08/2024"));
        dialog.seasonsTable()->item(1, 2)->setText(QStringLiteral("6"));
        dialog.ageField()->setValue(12);
        dialog.nightsField()->setValue(7);
        {
            // The seasons overlap: saved because the clerk says so.
            test::DialogAnswer yes(QStringLiteral("T0"));
            dialog.saveButton()->click();
            QCOMPARE(yes.seen().size(), 1);
        }
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const exporter::TaxRules saved = exporter::readTaxRules();
        QCOMPARE(saved.tariffCents, 150);
        QCOMPARE(saved.seasons.size(), size_t(2));
        QCOMPARE(saved.seasons[1].cents, 600);
        QCOMPARE(saved.exemptAge, 12);
        QCOMPARE(saved.maxNights, 7);
        QCOMPARE(saved.residentMunicipality, QStringLiteral("ROMA"));
        QVERIFY(dir.databasesUntouched());
    }

    // A file with one wrong line opens with every right one in the form and
    // the wrong one named; values say what is wrong with them.
    void theRulesDialogLoadsTheRightLinesAndSaysWhatIsWrong()
    {
        test::ScratchDir dir;
        test::writeBytes(dir.filePath(QStringLiteral("ImpostaSoggiorno.txt")),
                         "Tariffa=3,50\nStagione=01/06/2024 31/08/2024 4,50\nEtaEsente=1a\nNottiMassime=7\n"
                         "ComuneResidenti=ROMA\n");
        ui::TaxRulesDialog dialog({QStringLiteral("ROMA")});
        QCOMPARE(dialog.tariffField()->text(), QStringLiteral("3,50"));
        QCOMPARE(dialog.seasonsTable()->rowCount(), 1);
        QCOMPARE(dialog.nightsField()->value(), 7);
        QCOMPARE(dialog.ageField()->value(), 0);
        QCOMPARE(dialog.municipalityField()->text(), QStringLiteral("ROMA"));
        QVERIFY2(dialog.problemLabel()->text().contains(QStringLiteral("riga 3")),
                 qPrintable(dialog.problemLabel()->text()));
        QVERIFY(dialog.problemLabel()->text().contains(QStringLiteral("1a")));

        struct Wrong {
            int row;
            int column;
            QString typed;
            QString problem;
        };
        const Wrong wrongs[] = {
            {-1, 0, QStringLiteral("-2"), QStringLiteral("Tariffa: \"-2\" è negativo")},
            {-1, 0, QStringLiteral("99999999999"), QStringLiteral("Tariffa: \"99999999999\" è troppo grande")},
            {0, 0, QStringLiteral("31/02/2024"), QStringLiteral("Stagione 1, \"Dal\": il 31/02/2024 non esiste")},
            {0, 1, QStringLiteral("31/02/2024"), QStringLiteral("Stagione 1, \"Al\": il 31/02/2024 non esiste")},
            {0, 2, QStringLiteral("-2"), QStringLiteral("Stagione 1, \"Euro per notte\": \"-2\" è negativo")},
        };
        for (const Wrong& wrong : wrongs) {
            dialog.tariffField()->setText(QStringLiteral("3,50"));
            dialog.seasonsTable()->item(0, 0)->setText(QStringLiteral("01/06/2024"));
            dialog.seasonsTable()->item(0, 1)->setText(QStringLiteral("31/08/2024"));
            dialog.seasonsTable()->item(0, 2)->setText(QStringLiteral("4,50"));
            if (wrong.row < 0)
                dialog.tariffField()->setText(wrong.typed);
            else
                dialog.seasonsTable()->item(wrong.row, wrong.column)->setText(wrong.typed);
            dialog.saveButton()->click();
            QVERIFY2(dialog.problemLabel()->text().startsWith(wrong.problem),
                     qPrintable(dialog.problemLabel()->text()));
        }
    }

    // A tariff of 0 and overlapping seasons are saved only on "Sì"; the
    // question opens on "No" and names the seasons.
    void theRulesDialogAsksBeforeSavingZeroTariffsAndOverlaps()
    {
        test::ScratchDir dir;
        const QString path = dir.filePath(QStringLiteral("ImpostaSoggiorno.txt"));
        test::writeBytes(path, "Tariffa=1\n");
        const QByteArray before = test::readBytes(path);
        ui::TaxRulesDialog dialog({QStringLiteral("ROMA")});
        dialog.tariffField()->setText(QStringLiteral("0"));
        dialog.addSeasonButton()->click();
        dialog.addSeasonButton()->click();
        const QStringList seasons[] = {{"01/06/2024", "31/08/2024", "4"}, {"31/08/2024", "10/09/2024", "5"}};
        for (int row = 0; row < 2; ++row) {
            for (int column = 0; column < 3; ++column)
                dialog.seasonsTable()->item(row, column)->setText(seasons[row].at(column));
        }
        QList<test::DialogSeen> seen;
        {
            test::DialogAnswer enter([](QDialog* question) {
                QVERIFY(QTest::qWaitForWindowActive(question));
                QCOMPARE(question->focusWidget()->objectName(), QStringLiteral("T1"));
                QTest::keyClick(question->focusWidget(), Qt::Key_Return);
            });
            dialog.saveButton()->click();
        }
        QVERIFY(dialog.isVisible() || dialog.result() != int(QDialog::Accepted));
        QCOMPARE(test::readBytes(path), before);
        {
            test::DialogAnswer yes(QStringLiteral("T0"));
            dialog.saveButton()->click();
            seen = yes.seen();
        }
        QCOMPARE(seen.size(), 1);
        QVERIFY2(seen[0].text.contains(QStringLiteral("La tariffa fuori dalle stagioni è 0")),
                 qPrintable(seen[0].text));
        QVERIFY(seen[0].text.contains(QStringLiteral("Le stagioni 1 e 2 si sovrappongono")));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(exporter::readTaxRules().tariffCents, 0);
    }

    // Once the municipality's completion list has opened, moving on and
    // typing puts every key where the focus is.
    void typingGoesWhereTheFocusIsAfterTheCompletionList()
    {
        test::ScratchDir dir;
        ui::TaxRulesDialog dialog({QStringLiteral("VENEZIA"), QStringLiteral("VERONA")});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.municipalityField()->setFocus();
        QTest::keyClicks(dialog.municipalityField(), QStringLiteral("VENEZIA"));
        QTRY_VERIFY(dialog.municipalityField()->completer()->popup()->isVisible());
        // Alt+O, as the seasons' label offers: the focus moves on.
        dialog.seasonsTable()->setFocus(Qt::ShortcutFocusReason);
        dialog.addSeasonButton()->click();
        // Keys go to the open popup, if any, as the window system sends them.
        for (const QChar c : QStringLiteral("01/06/2023")) {
            QWidget* target =
                QApplication::activePopupWidget() ? QApplication::activePopupWidget() : QApplication::focusWidget();
            QTest::keyClick(target, c.toLatin1());
        }
        QCOMPARE(dialog.municipalityField()->text(), QStringLiteral("VENEZIA"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_COMPARE(dialog.seasonsTable()->item(0, 0)->text(), QStringLiteral("01/06/2023"));
    }

private:
    QTemporaryDir configDir;
};

QTEST_MAIN(TestTaxReport)
#include "test_tax_report.moc"
