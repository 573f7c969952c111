// SPDX-License-Identifier: GPL-3.0-or-later
// "&Verifica" > "&Controlla tutte le schede…" in the main window: the check
// runs on the four fields as they stand, its report opens over the window,
// the dates stay as typed when it closes, and a long check can be cancelled.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "FrontOffice.h"
#include "ui/main/CheckProgressView.h"
#include "ui/main/CheckReportWindow.h"

using namespace ostelvia;
using test::Front;

namespace {

struct ReportSeen {
    int rows = -1;
    QString totals;
    QStringList rooms;
    QStringList problems;
    bool busyCursor = true;
};

// Notes what the next report window shows, then closes it with "Chiudi".
void readNextReport(ReportSeen& seen)
{
    test::answerNext([&seen](QDialog* dialog) {
        auto* report = qobject_cast<ui::CheckReportWindow*>(dialog);
        QVERIFY(report);
        seen.rows = report->table()->rowCount();
        seen.totals = report->totalsLabel()->text();
        for (int row = 0; row < seen.rows; ++row) {
            seen.rooms.append(report->table()->item(row, 1)->text());
            seen.problems.append(report->table()->item(row, 6)->text());
        }
        seen.busyCursor = QApplication::overrideCursor() != nullptr;
        report->closeButton()->click();
    });
}

}  // namespace

class TestCheckMenu : public QObject {
    Q_OBJECT

private slots:
    void menuSitsBesideTheSettings()
    {
        Front f;
        auto* bar = f.window->findChild<QMenuBar*>();
        QVERIFY(bar);
        QStringList titles;
        for (QAction* menu : bar->actions())
            titles.append(menu->text());
        QCOMPARE(titles.first(), QStringLiteral("Impostazioni"));
        QVERIFY(titles.contains(QStringLiteral("&Verifica")));
        QCOMPARE(f.window->checkAllCardsAction()->text(), QStringLiteral("&Controlla tutte le schede…"));
    }

    void checksTheFieldsAsTheyStandAndKeepsTheDates()
    {
        Front f;
        QVERIFY(f.active());
        f.setDates(QStringLiteral("01/05/2024"), QStringLiteral("31/05/2024"));
        f.field(2)->setText(QStringLiteral("102"));
        f.field(3)->setText(QStringLiteral("105"));
        ReportSeen seen;
        readNextReport(seen);
        f.window->checkAllCardsAction()->trigger();
        // The May 2024 reference rows of rooms 102 to 105.
        QCOMPARE(seen.rows, 7);
        QCOMPARE(seen.rooms, (QStringList{"102", "102", "103", "104", "105", "105", "105"}));
        QCOMPARE(seen.problems.first(), QStringLiteral("Stato di nascita errato () CARBONE LINO"));
        QCOMPARE(seen.totals, QStringLiteral("6 schede controllate, 5 con problemi, 1 record da esportare"));
        QVERIFY(!seen.busyCursor);
        QVERIFY(!QApplication::overrideCursor());
        // Closed report: the window active again, the dates as typed (the
        // report is no dialog of the tool's own).
        QTRY_VERIFY(f.window->isActiveWindow());
        QCOMPARE(f.field(0)->text(), QStringLiteral("01/05/2024"));
        QCOMPARE(f.field(1)->text(), QStringLiteral("31/05/2024"));
        QCOMPARE(f.field(2)->text(), QStringLiteral("102"));
        QCOMPARE(f.list()->lineCount(), 0);
        QVERIFY(!QFile::exists(f.exportPath));
        QVERIFY(f.dir.databasesUntouched());
    }

    void aLongCheckShowsABusyCursorAndTheCardsDone()
    {
        Front f;
        {
            ui::CheckProgressView progress(f.window.get(), 0, 0);
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            progress.cardsChecked(1);
            QVERIFY(progress.dialog() && progress.dialog()->isVisible());
            QCOMPARE(progress.dialog()->labelText(), QStringLiteral("1 scheda controllata"));
            progress.cardsChecked(250);
            QVERIFY(progress.dialog()->isVisible());
            QCOMPARE(progress.dialog()->labelText(), QStringLiteral("250 schede controllate"));
            // Escape (or "Annulla") stops the check at the next card.
            QTest::keyClick(progress.dialog(), Qt::Key_Escape);
            bool stopped = false;
            try {
                progress.cardsChecked(251);
            } catch (const ui::CheckCancelled&) {
                stopped = true;
            }
            QVERIFY(stopped);
        }
        QVERIFY(!QApplication::overrideCursor());
        // A quick check shows no bar at all.
        ui::CheckProgressView quick(f.window.get(), 60000, 0);
        quick.cardsChecked(3);
        QVERIFY(!quick.dialog());
    }

    void aMissingDatabaseIsReportedInTheMessageDialog()
    {
        Front f;
        QFile::remove(f.dir.filePath(QStringLiteral("SchedaStoricoClienti.mdb")));
        test::DialogAnswer answer(QStringLiteral("T0"));
        f.window->checkAllCardsAction()->trigger();
        QCOMPARE(answer.seen().size(), 1);
        QVERIFY(answer.seen().at(0).text.contains(QStringLiteral("SchedaStoricoClienti.mdb")));
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestCheckMenu)
#include "test_check_menu.moc"
