// SPDX-License-Identifier: GPL-3.0-or-later
// Reviewing and sending from the main window: dates kept when the clerk
// comes back from another program, the field view and the totals from the
// list, the archive of sends and the warning before sending twice, the busy
// cursor.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QtTest>

#include "export/SendArchive.h"
#include "FrontOffice.h"
#include "text/Cp1252.h"
#include "ui/dialogs/InputBoxForm.h"
#include "ui/main/FieldView.h"
#include "ui/main/LinesView.h"
#include "ui/main/TotalsView.h"

using namespace ostelvia;
using test::Front;
using test::kCommand;

namespace {

const QDateTime kSendTime(QDate(2024, 9, 1), QTime(8, 15, 2));

// The clerk switches to another program and back: the tool loses the
// activation, then gets it again without any dialog of its own.
bool leaveAndComeBack(QWidget* window)
{
    QApplication::setActiveWindow(nullptr);
    if (!QTest::qWaitFor([] { return QApplication::activeWindow() == nullptr; }))
        return false;
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// Handles what the list's review opens: presses "Mostra i campi…" in a
// context menu and closes field views and totals, noting what they showed.
class ReviewAnswer {
public:
    ReviewAnswer()
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

    QStringList seen;      // window titles, in order
    QStringList meanings;  // field views: the meaning of field 31
    QStringList totals;    // totals: the first row

private:
    void poll()
    {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            QTest::keyClick(popup, Qt::Key_Down);
            QTest::keyClick(popup, Qt::Key_Return);
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (auto* view = qobject_cast<ui::FieldView*>(modal)) {
            seen.append(view->windowTitle());
            const QTableWidgetItem* item = view->fields()->item(30, ui::FieldView::Meaning);
            meanings.append(item ? item->text() : QString());
            view->reject();
        } else if (auto* riepilogo = qobject_cast<ui::TotalsView*>(modal)) {
            seen.append(riepilogo->windowTitle());
            QStringList row;
            for (int c = 0; c < riepilogo->totals()->columnCount(); ++c)
                row.append(riepilogo->totals()->item(0, c)->text());
            totals.append(row.join(QLatin1Char(' ')));
            riepilogo->reject();
        }
    }

    QTimer timer_;
};

// A point on the line's visible start (a record is far wider than the list).
QPoint onRow(ui::LinesView* list, int row)
{
    return QPoint(20, list->visualRect(list->model()->index(row, 0)).center().y());
}

// As the system delivers a double-click: press, release, double-click, release.
void doubleClick(ui::LinesView* list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onRow(list, row));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, onRow(list, row));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, onRow(list, row));
}

QList<bool> selection(ui::LinesView* list)
{
    QList<bool> states;
    for (int i = 0; i < list->lineCount(); ++i)
        states.append(list->isLineSelected(i));
    return states;
}

QString archiveFolder(const Front& f)
{
    return f.dir.filePath(exporter::kArchiveFolder);
}

QStringList archived(const Front& f)
{
    return QDir(archiveFolder(f)).entryList(QDir::Files, QDir::Name);
}

// A second window in the same front-office directory, as after a restart.
void reopen(Front& f)
{
    f.window = std::make_unique<ui::OstelviaDT>(&f.starter, [] { return QDate(2024, 5, 10); });
    f.window->setSendClock([] { return kSendTime; });
    f.window->show();
    f.window->activateWindow();
}

}  // namespace

class TestReviewSend : public QObject {
    Q_OBJECT

private slots:
    void datesTypedAreKeptWhenTheClerkComesBack()
    {
        Front f;
        QVERIFY(f.active());
        f.setDates(QStringLiteral("01/01/2020"), QStringLiteral("31/01/2020"));
        QVERIFY(leaveAndComeBack(f.window.get()));
        QCOMPARE(f.field(0)->text(), QStringLiteral("01/01/2020"));
        QCOMPARE(f.field(1)->text(), QStringLiteral("31/01/2020"));

        // "+" opens the code list in a viewer that takes the focus.
        f.field(2)->setFocus();
        QTest::keyClick(f.field(2), '+');
        QCOMPARE(f.starter.started.size(), 1);
        QVERIFY(leaveAndComeBack(f.window.get()));
        QCOMPARE(f.field(0)->text(), QStringLiteral("01/01/2020"));
        QCOMPARE(f.field(1)->text(), QStringLiteral("31/01/2020"));

        // A dialog of the tool's own still presets them, as every dialog does.
        {
            test::DialogAnswer answer(QStringLiteral("T1"));
            f.window->comandoPaginaWebAction()->trigger();
            QCOMPARE(answer.seen().size(), 1);
        }
        QTRY_COMPARE(f.field(0)->text(), QStringLiteral("09/05/2024"));
        QCOMPARE(f.field(1)->text(), QStringLiteral("09/05/2024"));
        f.setDates(QStringLiteral("01/01/2020"), QStringLiteral("31/01/2020"));
        QVERIFY(f.creaFile(QStringLiteral("27/06/2024"), QStringLiteral("27/06/2024")).size() == 1);
        QTRY_COMPARE(f.field(0)->text(), QStringLiteral("09/05/2024"));
    }

    void inputDialogStaysPutWhenTheClerkComesBack()
    {
        QPoint placed;
        QString selectedAfter = QStringLiteral("<not reached>");
        QString typed;
        QTimer::singleShot(0, [&] {
            auto* form = qobject_cast<ui::InputBox_Form*>(QApplication::activeModalWidget());
            QVERIFY(form);
            QVERIFY(QTest::qWaitForWindowActive(form));
            auto* entry = form->findChild<QLineEdit*>(QStringLiteral("Text2"));
            QCOMPARE(entry->selectedText(), QStringLiteral("C:\\ZaverUdevu.txt"));
            // Mid-edit: the caret placed by hand, the window moved by the clerk.
            entry->setCursorPosition(3);
            QTest::keyClicks(entry, QStringLiteral("X"));
            form->move(form->pos() + QPoint(40, 30));
            placed = form->pos();
            QVERIFY(leaveAndComeBack(form));
            selectedAfter = entry->selectedText();
            typed = entry->text();
            QCOMPARE(form->pos(), placed);
            form->findChild<QAbstractButton*>(QStringLiteral("T0"))->click();
        });
        const QString answer =
            ui::ChiediTesto(QStringLiteral("Percorso"), QStringLiteral("Titolo"), QStringLiteral("C:\\ZaverUdevu.txt"));
        QCOMPARE(selectedAfter, QString());
        QCOMPARE(typed, QStringLiteral("C:\\XZaverUdevu.txt"));
        QCOMPARE(answer, typed);
    }

    void doubleClickShowsTheFieldsAndKeepsTheSelection()
    {
        Front f;
        QVERIFY(f.active());
        QVERIFY(f.creaFile().isEmpty());
        ui::LinesView* list = f.list();
        list->setLineSelected(3, false);
        const QList<bool> before = selection(list);
        ReviewAnswer answer;
        for (int row : {1, 3, 0}) {
            doubleClick(list, row);
            QTRY_COMPARE(answer.seen.size(), row == 1 ? 1 : row == 3 ? 2 : 3);
            QCOMPARE(selection(list), before);
        }
        QCOMPARE(answer.seen, (QStringList{"Campi della riga 2", "Campi della riga 4", "Campi della riga 1"}));
        QCOMPARE(answer.meanings.at(0), QStringLiteral("ROMA"));
        // A single click still switches a line.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onRow(list, 5));
        QVERIFY(!list->isLineSelected(5));
    }

    void contextMenuShowsTheFields()
    {
        Front f;
        QVERIFY(f.active());
        QVERIFY(f.creaFile().isEmpty());
        ui::LinesView* list = f.list();
        const QList<bool> before = selection(list);
        ReviewAnswer answer;
        const QPoint at = onRow(list, 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &event);
        QTRY_COMPARE(answer.seen, QStringList{QStringLiteral("Campi della riga 3")});
        QCOMPARE(selection(list), before);
    }

    // What "&Invia" and "&Riepilogo…" take from the list: the selected rows
    // once each and in the list's order, however the selection was built up.
    void selectedRowsAreInListOrder_data()
    {
        QTest::addColumn<QList<QList<int>>>("steps");  // {first, last, 1 select / 0 deselect / -1 toggle}
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("all, as after Crea File")
            << QList<QList<int>>{{0, 9, 1}} << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        QTest::newRow("picked from the end backwards")
            << QList<QList<int>>{{8, 8, 1}, {5, 5, 1}, {0, 0, 1}} << QList<int>{0, 5, 8};
        QTest::newRow("overlapping ranges")
            << QList<QList<int>>{{2, 6, 1}, {4, 8, 1}, {5, 5, 1}} << QList<int>{2, 3, 4, 5, 6, 7, 8};
        QTest::newRow("a hole clicked in the middle")
            << QList<QList<int>>{{0, 9, 1}, {4, 4, -1}, {7, 7, -1}} << QList<int>{0, 1, 2, 3, 5, 6, 8, 9};
        QTest::newRow("clicked off and on again")
            << QList<QList<int>>{{0, 9, 1}, {3, 3, -1}, {3, 3, -1}, {0, 8, 0}} << QList<int>{9};
        QTest::newRow("nothing") << QList<QList<int>>{{0, 9, 1}, {0, 9, 0}} << QList<int>{};
    }

    void selectedRowsAreInListOrder()
    {
        QFETCH(QList<QList<int>>, steps);
        QFETCH(QList<int>, expected);
        ui::LinesView list;
        QStringList lines;
        for (int i = 0; i < 10; ++i)
            lines.append(QStringLiteral("line %1").arg(i));
        list.setLines(exporter::ExportLines::fromTexts(lines));
        for (const QList<int>& step : steps) {
            const QItemSelection range(list.model()->index(step[0], 0), list.model()->index(step[1], 0));
            const auto command = step[2] > 0 ? QItemSelectionModel::Select
                : step[2] == 0               ? QItemSelectionModel::Deselect
                                             : QItemSelectionModel::Toggle;
            list.selectionModel()->select(range, command);
        }
        QCOMPARE(list.selectedRows(), QVector<int>(expected.begin(), expected.end()));
        for (int row = 0; row < 10; ++row)
            QCOMPARE(list.isLineSelected(row), expected.contains(row));
        // New lines come unselected.
        list.setLines(exporter::ExportLines::fromTexts(lines));
        QVERIFY(list.selectedRows().isEmpty());
        list.selectAllLines();
        QCOMPARE(list.selectedRows().size(), 10);
        QCOMPARE(list.selectionModel()->selection().size(), 1);
    }

    void riepilogoCountsTheSelectedAndAllLines()
    {
        Front f;
        QVERIFY(f.active());
        QVERIFY(f.creaFile().isEmpty());
        // GALLI's two stays (rows 14 and 40, 3 nights each) left out.
        f.list()->setLineSelected(14, false);
        f.list()->setLineSelected(40, false);
        QMenu* verifica = nullptr;
        for (QAction* action : f.window->findChild<QMenuBar*>()->actions()) {
            if (action->text() == QStringLiteral("&Verifica"))
                verifica = action->menu();
        }
        QVERIFY(verifica);
        QAction* riepilogo = verifica->findChild<QAction*>(QStringLiteral("totals"));
        QVERIFY(riepilogo);
        QCOMPARE(riepilogo->text(), QStringLiteral("&Riepilogo…"));
        ReviewAnswer answer;
        riepilogo->trigger();
        QTRY_COMPARE(answer.totals, QStringList{QStringLiteral("Totale 54 54 185 56 55 191")});
    }

    void inviaKeepsAByteIdenticalCopyNamedByTheSecond()
    {
        Front f;
        f.window->setSendClock([] { return kSendTime; });
        QVERIFY(f.active());
        QVERIFY(f.creaFile().isEmpty());
        f.list()->setLineSelected(4, false);
        QVERIFY(f.press(f.window->inviaButton()).isEmpty());  // first send: nothing to ask
        QCOMPARE(archived(f), QStringList{QStringLiteral("2024-09-01_08-15-02.txt")});
        const QByteArray sent = test::readBytes(f.exportPath);
        QCOMPARE(test::readBytes(QDir(archiveFolder(f)).filePath(archived(f).at(0))), sent);
        QCOMPARE(f.starter.started, QStringList{kCommand});

        // Sent again within the same second, everything this time.
        reopen(f);
        QVERIFY(f.active());
        QVERIFY(f.creaFile().isEmpty());
        const QList<test::DialogSeen> asked = f.press(f.window->inviaButton());  // "Sì" to the warning
        QCOMPARE(asked.size(), 1);
        // More stays than the question names: a summary per earlier send first.
        QVERIFY(asked.at(0).text.startsWith(
            QStringLiteral("Soggiorni già inviati: 55, per invio precedente:\r\n"
                           "- invio del 01/09/2024 08:15: 55 soggiorni, 55 identici, 0 modificati\r\n\r\n"
                           "55 delle righe selezionate sono già state inviate")));
        QCOMPARE(archived(f), (QStringList{"2024-09-01_08-15-02.txt", "2024-09-01_08-15-02_2.txt"}));
        QCOMPARE(test::readBytes(QDir(archiveFolder(f)).filePath(archived(f).at(1))), test::readBytes(f.exportPath));
        QVERIFY(test::readBytes(f.exportPath) != sent);
        QCOMPARE(f.starter.started.size(), 2);
    }

    void warningNamesIdenticalAndChangedRecords_data()
    {
        QTest::addColumn<bool>("sendAnyway");
        QTest::newRow("No") << false;
        QTest::newRow("Si") << true;
    }

    void warningNamesIdenticalAndChangedRecords()
    {
        QFETCH(bool, sendAnyway);
        Front f;
        f.window->setSendClock([] { return kSendTime; });
        QVERIFY(f.active());
        QVERIFY(f.creaFile().isEmpty());
        // An earlier send of rows 1 and 2, row 2 with another departure then.
        QStringList earlier = f.listed().mid(0, 3);
        earlier[2].replace(29, 8, QStringLiteral("20240305"));
        QDir().mkpath(archiveFolder(f));
        test::writeBytes(QDir(archiveFolder(f)).filePath(QStringLiteral("2024-08-31_18-00-00.txt")),
                         text::toCp1252(earlier.join(QStringLiteral("\r\n"))));
        f.list()->setLineSelected(7, false);
        const QList<bool> before = selection(f.list());
        const QByteArray written = test::readBytes(f.exportPath);

        test::DialogAnswer answer(sendAnyway ? QStringLiteral("T0") : QStringLiteral("T1"));
        f.window->inviaButton()->click();
        QCOMPARE(answer.seen().size(), 1);
        const QStringList lines = answer.seen().at(0).text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.at(0), QStringLiteral("2 delle righe selezionate sono già state inviate:"));
        QCOMPARE(lines.at(1),
                 QStringLiteral("camera 1005, SANTORO LUIGI, arrivo 13/04/2024: inviata il 31/08/2024 "
                                "18:00, identica"));
        QVERIFY(lines.at(2).startsWith(QStringLiteral("camera ")));
        QVERIFY(lines.at(2).endsWith(QStringLiteral("con dati cambiati (rettifica)")));
        QCOMPARE(lines.last(), QStringLiteral("Inviare comunque?"));
        if (sendAnyway) {
            QCOMPARE(f.starter.started, QStringList{kCommand});
            QVERIFY(!f.window->isVisible());
            QCOMPARE(archived(f).size(), 2);
        } else {
            QVERIFY(f.starter.started.isEmpty());
            QVERIFY(f.window->isVisible());
            QCOMPARE(selection(f.list()), before);
            QCOMPARE(test::readBytes(f.exportPath), written);  // not rewritten
            QCOMPARE(archived(f).size(), 1);
        }
    }

    void unwritableArchiveAsksWhetherToSend_data()
    {
        QTest::addColumn<bool>("sendAnyway");
        QTest::newRow("No") << false;
        QTest::newRow("Si") << true;
    }

    void unwritableArchiveAsksWhetherToSend()
    {
        QFETCH(bool, sendAnyway);
        Front f;
        QVERIFY(f.active());
        QVERIFY(f.creaFile().isEmpty());
        // A file stands where the folder should be.
        test::writeBytes(archiveFolder(f), "not a folder");
        test::DialogAnswer answer(sendAnyway ? QStringLiteral("T0") : QStringLiteral("T1"));
        f.window->inviaButton()->click();
        QCOMPARE(answer.seen().size(), 1);
        QVERIFY(answer.seen().at(0).text.contains(QStringLiteral("ArchivioInvii")));
        QVERIFY(answer.seen().at(0).text.endsWith(QStringLiteral("Inviare comunque, senza la copia nell'archivio?")));
        QCOMPARE(f.starter.started.size(), sendAnyway ? 1 : 0);
        QCOMPARE(f.window->isVisible(), !sendAnyway);
        QCOMPARE(test::readBytes(archiveFolder(f)), QByteArray("not a folder"));
    }

    // Copies older than the months kept (60 by default) go at the send, and
    // the clerk is told how many.
    void inviaRemovesExpiredCopiesAndSaysHowMany()
    {
        Front f;
        f.window->setSendClock([] { return kSendTime; });
        QVERIFY(f.active());
        QVERIFY(f.creaFile().isEmpty());
        QDir().mkpath(archiveFolder(f));
        for (const char* name : {"2019-09-01_08-15-01.txt", "2019-09-01_08-15-02.txt"})
            test::writeBytes(QDir(archiveFolder(f)).filePath(QString::fromLatin1(name)), "TBPRES01      ");
        const QList<test::DialogSeen> seen = f.press(f.window->inviaButton());
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen.at(0).text,
                 QStringLiteral("Cancellata dalla cartella \"ArchivioInvii\" una copia di un invio "
                                "più vecchia di 60 mesi."));
        QCOMPARE(archived(f), (QStringList{"2019-09-01_08-15-02.txt", "2024-09-01_08-15-02.txt"}));
        QCOMPARE(f.starter.started, QStringList{kCommand});
    }

    void damagedArchiveFileIsNotedNotFatal()
    {
        Front f;
        QVERIFY(f.active());
        QVERIFY(f.creaFile().isEmpty());
        QDir().mkpath(archiveFolder(f));
        test::writeBytes(QDir(archiveFolder(f)).filePath(QStringLiteral("2024-08-01_10-00-00.txt")),
                         QByteArray("\x00\x01garbage\r\nmore", 15));
        const QList<test::DialogSeen> asked = f.press(f.window->inviaButton());
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked.at(0).text.contains(
            QStringLiteral("2024-08-01_10-00-00.txt: non inizia con la riga di intestazione")));
        QCOMPARE(f.starter.started, QStringList{kCommand});
    }

    void busyCursorWhileWorkingArrowInDialogs()
    {
        Front f;
        QVERIFY(f.active());
        // The code list: busy while it is written and the viewer started.
        QCursor* during = nullptr;
        Qt::CursorShape shape = Qt::ArrowCursor;
        f.starter.onStart = [&] {
            during = QApplication::overrideCursor();
            shape = during ? during->shape() : Qt::ArrowCursor;
        };
        QTest::keyClick(f.field(2), '+');
        QVERIFY(during);
        QCOMPARE(shape, Qt::WaitCursor);
        QCOMPARE(QApplication::overrideCursor(), nullptr);

        // A run stopped on a card: the dialog shows the arrow, then none is left.
        Qt::CursorShape inDialog = Qt::WaitCursor;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            if (QApplication::activeModalWidget() && QApplication::overrideCursor())
                inDialog = QApplication::overrideCursor()->shape();
        });
        probe.start(5);
        QCOMPARE(f.creaFile(QStringLiteral("27/06/2024"), QStringLiteral("27/06/2024")).size(), 1);
        QCOMPARE(inDialog, Qt::ArrowCursor);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }
};

QTEST_MAIN(TestReviewSend)
#include "test_review_send.moc"
