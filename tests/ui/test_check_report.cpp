// SPDX-License-Identifier: GPL-3.0-or-later
// The report window of the check of every card, offscreen: its table and
// totals, sorting, "Salva CSV…" and "Stampa…" to a PDF through the same path
// as the print dialog.
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "export/CheckOutput.h"
#include "TestSupport.h"
#include "ui/main/CheckReportWindow.h"

using namespace ostelvia;

namespace {

exporter::CheckReport sampleReport()
{
    exporter::CheckReport report;
    report.totals = {5, 2, 3};
    report.cards.push_back(
        {QStringLiteral("Scheda_Cliente.mdb"),
         QStringLiteral("107"),
         QStringLiteral("1261"),
         QStringLiteral("MAZZA DINO"),
         QStringLiteral("17/05/2024"),
         QStringLiteral("20/05/2024"),
         {{QStringLiteral("Residenza italiana errata (CESENA) MAZZA DINO"), {QStringLiteral("CESENA")}},
          {QStringLiteral("Codice nazionalità errato (GERMANIA) MAZZA DINO"),
           {QStringLiteral("D \u2014 GERMANIA"), QStringLiteral("DK \u2014 DANIMARCA")}}}});
    report.cards.push_back({QStringLiteral("SchedaStoricoClienti.mdb"),
                            QStringLiteral("101"),
                            QStringLiteral("300"),
                            QStringLiteral("O\"NEIL\r\nTEA"),
                            QStringLiteral("//"),
                            QString(),
                            {{QStringLiteral("Data di nascita errata o mancante (//) O\"NEIL\r\nTEA"), {}}}});
    return report;
}

QStringList column(const QTableWidget* table, int col)
{
    QStringList cells;
    for (int row = 0; row < table->rowCount(); ++row)
        cells.append(table->item(row, col)->text());
    return cells;
}

}  // namespace

class TestCheckReport : public QObject {
    Q_OBJECT

private slots:
    void aRecordThatDoesNotFitNamesItsField()
    {
        const QString line = QStringLiteral("Tracciato record errato (campo 38: XY) ROSSI MARIO");
        exporter::CheckReport report;
        report.cards.push_back({QStringLiteral("Scheda_Cliente.mdb"),
                                QStringLiteral("101"),
                                QStringLiteral("1"),
                                QStringLiteral("ROSSI MARIO"),
                                QString(),
                                QString(),
                                {{line, {}}}});
        ui::CheckReportWindow window(report, QString());
        QCOMPARE(window.table()->item(0, 6)->text(),
                 QStringLiteral("Tracciato record errato (campo 38 (Sesso): XY) ROSSI MARIO"));
        QCOMPARE(window.reportAsShown().cards.at(0).problems.at(0).text, line);
    }

    void showsOneRowPerProblemAndTheTotals()
    {
        ui::CheckReportWindow window(sampleReport(), QStringLiteral("Dal 01/05/2024 al 31/05/2024"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QTableWidget* table = window.table();
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->columnCount(), 8);
        for (int col = 0; col < 8; ++col)
            QCOMPARE(table->horizontalHeaderItem(col)->text(), exporter::kCheckColumns.at(col));
        QCOMPARE(column(table, 1), (QStringList{"107", "107", "101"}));
        QCOMPARE(table->item(1, 7)->text(), QStringLiteral("D \u2014 GERMANIA | DK \u2014 DANIMARCA"));
        // A line end inside a card's name stays on one line in the table.
        QCOMPARE(table->item(2, 3)->text(), QStringLiteral("O\"NEIL  TEA"));
        QCOMPARE(window.totalsLabel()->text(),
                 QStringLiteral("5 schede controllate, 2 con problemi, 3 record da esportare"));
        QCOMPARE(window.saveCsvButton()->text(), QStringLiteral("&Salva CSV…"));
        QCOMPARE(window.printButton()->text(), QStringLiteral("S&tampa…"));
        QCOMPARE(window.closeButton()->text(), QStringLiteral("&Chiudi"));

        // Clicking a heading sorts; the check's order holds until then.
        QVERIFY(table->isSortingEnabled());
        window.table()->sortByColumn(1, Qt::AscendingOrder);
        QCOMPARE(column(table, 1), (QStringList{"101", "107", "107"}));

        window.closeButton()->click();
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }

    void nothingSelectedSaysSo()
    {
        ui::CheckReportWindow window(exporter::CheckReport{}, QString());
        QCOMPARE(window.table()->rowCount(), 0);
        QCOMPARE(window.totalsLabel()->text(), QStringLiteral("Nessuna scheda nel periodo"));
    }

    void savesTheSameBytesAsTheCommand()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("controllo.csv"));
        const exporter::CheckReport report = sampleReport();
        ui::CheckReportWindow window(report, QString());
        int asked = 0;
        window.setAskPath([&](QWidget*) {
            ++asked;
            return path;
        });
        // In the check's order, the file is the command's.
        window.saveCsvButton()->click();
        QCOMPARE(asked, 1);
        QCOMPARE(test::readBytes(path), exporter::checkCsv(report));

        // Cancelling the file dialog writes nothing.
        QFile::remove(path);
        window.setAskPath([](QWidget*) { return QString(); });
        window.saveCsvButton()->click();
        QVERIFY(!QFile::exists(path));
    }

    void printsThroughThePrintDialogPath()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("controllo.pdf"));
        ui::CheckReportWindow window(sampleReport(), QStringLiteral("Dal 01/05/2024 al 31/05/2024"));
        window.setAskPrinter([&](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        window.printButton()->click();
        const QByteArray bytes = test::readBytes(pdf);
        QVERIFY(bytes.startsWith("%PDF"));
        QVERIFY(bytes.size() > 1000);

        const QString html = window.printableHtml();
        QVERIFY(html.contains(QStringLiteral("MAZZA DINO")));
        QVERIFY(html.contains(QStringLiteral("O&quot;NEIL")));
        QVERIFY(html.contains(QStringLiteral("5 schede controllate")));

        // A cancelled print dialog prints nothing.
        QFile::remove(pdf);
        window.setAskPrinter([](QPrinter&, QWidget*) { return false; });
        window.printButton()->click();
        QVERIFY(!QFile::exists(pdf));
    }
};

QTEST_MAIN(TestCheckReport)
#include "test_check_report.moc"
