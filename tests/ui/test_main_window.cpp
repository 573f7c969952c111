// The main window driven as a user would: keys in the fields, the buttons, the
// menu, with the dialogs answered from the test, a fixed clock and a process
// starter that only records.
#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QtTest>

#include <memory>

#include "DialogAnswer.h"
#include "TestSupport.h"
#include "export/Cp1252.h"
#include "export/ExportRun.h"
#include "ui/dialogs/Twips.h"
#include "ui/main/MainWindow.h"
#include "ui/main/Settings.h"

using namespace ostelvia;

namespace {

const QString kCommand = QStringLiteral("browser --new-window https://example.invalid/tassa");

class RecordingStarter : public ui::ProcessStarter {
public:
    bool startDetached(const QString& commandLine) override
    {
        started.append(commandLine);
        return succeeds;
    }
    QStringList started;
    bool succeeds = true;
};

QByteArray expectedBytes(const QString& name)
{
    return test::readBytes(test::fixtureDir() + QStringLiteral("/expected/") + name);
}

// Lines of a reference export file, split at CR LF.
QStringList expectedLines(const QString& name)
{
    return exporter::fromCp1252(expectedBytes(name)).split(QStringLiteral("\r\n"));
}

// A front-office directory with the basic data, settings pointing the export
// inside it, and the window shown and active on a fixed day.
struct Front {
    explicit Front(QDate today = QDate(2024, 5, 10), const QString& command = kCommand)
    {
        exportPath = dir.filePath(QStringLiteral("ZaverUdevu.txt"));
        dir.writeSettings(exportPath, command);
        window = std::make_unique<ui::OstelviaDT>(&starter, [today] { return today; });
        window->show();
        window->activateWindow();
    }

    bool active() { return QTest::qWaitForWindowActive(window.get()); }

    QLineEdit* field(int i) const { return window->text1(i); }
    QListWidget* list() const { return window->list1(); }

    void setDates(const QString& from, const QString& to)
    {
        field(0)->setText(from);
        field(1)->setText(to);
    }

    int selectedCount() const { return static_cast<int>(list()->selectedItems().size()); }

    test::ScratchDir dir;
    RecordingStarter starter;
    QString exportPath;
    std::unique_ptr<ui::OstelviaDT> window;
};

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void layoutFollowsTheDesign()
    {
        Front f;
        QVERIFY(f.active());
        ui::OstelviaDT& w = *f.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Esportazione file per Imposta di Soggiorno (Ostelvia)"));
        const qreal dpi = w.screen()->logicalDotsPerInch();
        QCOMPARE(w.area()->size(), QSize(ui::TwipsToPixels(10470, dpi), ui::TwipsToPixels(4335, dpi)));
        QVERIFY(w.area()->y() > 0);  // below the menu bar
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(w.menu2(1)->text(), QStringLiteral("Percorso creazione file ZaverUdevu.txt"));
        QCOMPARE(w.menu2(2)->text(), QStringLiteral("Impostazione apertura pagina web "));
        // Labels sit on the left of their fields, on the same row.
        QCOMPARE(w.label1(3)->y(), f.field(2)->y());
        QCOMPARE(w.label1(2)->y(), f.field(3)->y());
        QCOMPARE(f.field(2)->text(), QString());
        QCOMPARE(f.field(3)->text(), QStringLiteral("ZZZZZZ"));
        QCOMPARE(f.list()->selectionMode(), QAbstractItemView::MultiSelection);
        QVERIFY(QFontInfo(f.list()->font()).fixedPitch());
        QCOMPARE(f.list()->count(), 0);
        // Every text box lies inside its shape.
        const std::array<QString, 4> shapes{"Shape1_0", "Shape1_3", "Shape1_1", "Shape1_2"};
        for (int i = 0; i < 4; ++i) {
            auto* shape = w.area()->findChild<QWidget*>(shapes[i]);
            QVERIFY(shape);
            QVERIFY(shape->geometry().contains(f.field(i)->geometry()));
        }
        QCOMPARE(f.field(0)->geometry(), ui::TwipsToPixels(ui::TwipRect{1560, 360, 1695, 285}, dpi));
        // The preset last room fits its box.
        QVERIFY(f.field(3)->fontMetrics().horizontalAdvance(QStringLiteral("ZZZZZZ")) + 4
                <= f.field(3)->width());
    }

    void tabOrderFollowsTabIndex()
    {
        Front f;
        ui::OstelviaDT& w = *f.window;
        const QList<QWidget*> expected{f.field(0), f.field(2), f.field(3), w.t(0), w.t(1),
                                       f.list(),   w.t(2),     f.field(1), f.field(0)};
        QWidget* current = f.field(0);
        for (qsizetype i = 1; i < expected.size(); ++i) {
            QWidget* next = current->nextInFocusChain();
            while (next->focusPolicy() == Qt::NoFocus || !next->isVisibleTo(&w))
                next = next->nextInFocusChain();
            QCOMPARE(next, expected.at(i));
            current = next;
        }
    }

    void datesArePresetToYesterday_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("yesterday");
        QTest::newRow("1 March, leap year") << QDate(2024, 3, 1) << "29/02/2024";
        QTest::newRow("1 March, common year") << QDate(2023, 3, 1) << "28/02/2023";
        QTest::newRow("1 January") << QDate(2024, 1, 1) << "31/12/2023";
    }

    void datesArePresetToYesterday()
    {
        QFETCH(QDate, today);
        QFETCH(QString, yesterday);
        Front f(today);
        QVERIFY(f.active());
        QCOMPARE(f.field(0)->text(), yesterday);
        QCOMPARE(f.field(1)->text(), yesterday);
        QCOMPARE(f.field(2)->text(), QString());
        QCOMPARE(f.field(3)->text(), QStringLiteral("ZZZZZZ"));
    }

    // A dialog closing over the window activates it again: dates reset,
    // rooms kept.
    void activationAfterADialogResetsTheDates()
    {
        Front f(QDate(2024, 3, 1));
        QVERIFY(f.active());
        f.setDates(QStringLiteral("01/01/2020"), QStringLiteral("02/01/2020"));
        f.field(2)->setText(QStringLiteral("101"));
        {
            test::DialogAnswer answer(QStringLiteral("T1"));
            f.window->menu2(1)->trigger();
            QCOMPARE(answer.seen().size(), 1);
        }
        QTRY_COMPARE(f.field(0)->text(), QStringLiteral("29/02/2024"));
        QCOMPARE(f.field(1)->text(), QStringLiteral("29/02/2024"));
        QCOMPARE(f.field(2)->text(), QStringLiteral("101"));
    }

    void focusSelectsTheWholeField()
    {
        Front f;
        QVERIFY(f.active());
        f.field(3)->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(f.field(3)->selectedText(), QStringLiteral("ZZZZZZ"));
        // Focus given by a click, whose press would place the cursor.
        QTest::mouseClick(f.field(0), Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_COMPARE(QApplication::focusWidget(), f.field(0));
        QTRY_COMPARE(f.field(0)->selectedText(), QStringLiteral("09/05/2024"));
    }

    void enterInTheFirstDate_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("focusOn");
        QTest::newRow("six digits") << "240413" << "24/04/2013" << 1;
        QTest::newRow("eight digits") << "01022024" << "01/02/2024" << 1;
        QTest::newRow("blanks around") << " 29022024 " << "29/02/2024" << 1;
        QTest::newRow("31 February rejected") << "31022013" << "" << 0;
        QTest::newRow("29 February 1923 rejected") << "290223" << "" << 0;
        QTest::newRow("letters rejected") << "abc" << "" << 0;
    }

    void enterInTheFirstDate()
    {
        QFETCH(QString, typed);
        QFETCH(QString, result);
        QFETCH(int, focusOn);
        Front f;
        QVERIFY(f.active());
        f.field(0)->setFocus();
        f.field(0)->clear();
        QTest::keyClicks(f.field(0), typed);
        QTest::keyClick(f.field(0), Qt::Key_Return);
        QCOMPARE(f.field(0)->text(), result);
        QTRY_COMPARE(QApplication::focusWidget(), f.field(focusOn));
    }

    void enterInTheLastDate_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("firstAfter");
        QTest::addColumn<QString>("lastAfter");
        QTest::addColumn<int>("focusOn");
        QTest::newRow("after the first") << "01/05/2024" << "10052024" << "01/05/2024" << "10/05/2024" << 2;
        QTest::newRow("two-digit year 19 is 2019") << "01/01/2019" << "020119" << "01/01/2019" << "02/01/2019" << 2;
        QTest::newRow("two-digit year 99 is 1999") << "01/01/2000" << "311299" << "" << "31/12/1999" << 1;
        QTest::newRow("same day") << "10/05/2024" << "10/05/2024" << "10/05/2024" << "10/05/2024" << 2;
        QTest::newRow("before the first") << "10/05/2024" << "01052024" << "" << "01/05/2024" << 1;
        QTest::newRow("invalid") << "10/05/2024" << "320524" << "10/05/2024" << "" << 1;
        // Years compare before days: 01/01/2025 is after 31/12/2024.
        QTest::newRow("across a year") << "31/12/2024" << "01012025" << "31/12/2024" << "01/01/2025" << 2;
    }

    void enterInTheLastDate()
    {
        QFETCH(QString, first);
        QFETCH(QString, typed);
        QFETCH(QString, firstAfter);
        QFETCH(QString, lastAfter);
        QFETCH(int, focusOn);
        Front f;
        QVERIFY(f.active());
        f.field(0)->setText(first);
        f.field(1)->setFocus();
        f.field(1)->clear();
        QTest::keyClicks(f.field(1), typed);
        QTest::keyClick(f.field(1), Qt::Key_Enter);
        QCOMPARE(f.field(0)->text(), firstAfter);
        QCOMPARE(f.field(1)->text(), lastAfter);
        QTRY_COMPARE(QApplication::focusWidget(), f.field(focusOn));
    }

    void enterInTheRoomFields()
    {
        Front f;
        QVERIFY(f.active());
        f.field(2)->setFocus();
        f.field(2)->clear();
        QTest::keyClick(f.field(2), Qt::Key_Return);
        QCOMPARE(f.field(2)->text(), QStringLiteral(" "));
        QTRY_COMPARE(QApplication::focusWidget(), f.field(3));
        f.field(3)->setText(QStringLiteral("  d'a 2 "));
        QTest::keyClick(f.field(3), Qt::Key_Return);
        QCOMPARE(f.field(3)->text(), QString::fromUtf8("D´A 2"));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.window->t(0)));
    }

    void plusWritesAndOpensTheCodeList()
    {
        Front f;
        QVERIFY(f.active());
        f.field(2)->setFocus();
        f.field(2)->setText(QStringLiteral("10"));
        f.field(2)->end(false);
        QTest::keyClick(f.field(2), '+');
        QCOMPARE(test::readBytes(f.dir.filePath(QStringLiteral("ListaPS.txt"))), expectedBytes("ListaPS.txt"));
        QCOMPARE(f.field(2)->text(), QStringLiteral("10+"));
        QCOMPARE(f.starter.started.size(), 1);
        const QStringList words = QProcess::splitCommand(f.starter.started.at(0));
        QCOMPARE(words.size(), 2);
        QCOMPARE(words.at(0), QStringLiteral("xdg-open"));
        QCOMPARE(QFileInfo(words.at(1)).absoluteFilePath(),
                 QFileInfo(f.dir.filePath(QStringLiteral("ListaPS.txt"))).absoluteFilePath());
        // Each "+" writes the list again and starts another viewer.
        QTest::keyClick(f.field(2), '+');
        QCOMPARE(f.starter.started.size(), 2);
        QCOMPARE(f.field(2)->text(), QStringLiteral("10++"));
        QVERIFY(f.dir.databasesUntouched());
    }

    void codeListFailuresAreReported()
    {
        Front f;
        QVERIFY(f.active());
        f.starter.succeeds = false;
        {
            test::DialogAnswer answer(QStringLiteral("T0"));
            f.field(3)->setText(QString());
            QTest::keyClick(f.field(3), '+');
            QCOMPARE(answer.seen().size(), 1);
            QVERIFY(answer.seen().at(0).text.contains(QStringLiteral("ListaPS.txt")));
        }
        QCOMPARE(f.field(3)->text(), QStringLiteral("+"));

        // A missing reference database: reported, nothing started.
        f.starter.succeeds = true;
        f.starter.started.clear();
        QVERIFY(QFile::remove(f.dir.filePath(QStringLiteral("PSWebAll.mdb"))));
        test::DialogAnswer answer(QStringLiteral("T0"));
        QTest::keyClick(f.field(3), '+');
        QCOMPARE(answer.seen().size(), 1);
        QVERIFY(answer.seen().at(0).text.contains(QStringLiteral("PSWebAll.mdb"), Qt::CaseInsensitive));
        QVERIFY(f.starter.started.isEmpty());
        QCOMPARE(f.field(3)->text(), QStringLiteral("++"));
    }

    void creaFileListsAndSelectsTheWrittenLines()
    {
        Front f;
        QVERIFY(f.active());
        f.setDates(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024"));
        f.window->t(0)->click();
        const QStringList expected = expectedLines(QStringLiteral("wide-range.out"));
        QCOMPARE(expected.size(), 57);
        QCOMPARE(f.list()->count(), 57);
        QCOMPARE(f.selectedCount(), 57);
        for (int i = 0; i < 57; ++i)
            QCOMPARE(f.list()->item(i)->text(), expected.at(i));
        QCOMPARE(test::readBytes(f.exportPath), expectedBytes("wide-range.out"));
        QVERIFY(f.dir.databasesUntouched());
    }

    // The run takes the fields as they stand, rooms included.
    void creaFileUsesTheRoomFields()
    {
        Front f;
        QVERIFY(f.active());
        f.setDates(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024"));
        f.field(2)->setText(QStringLiteral("200"));
        f.field(3)->setText(QStringLiteral("299"));
        f.window->t(0)->click();
        QCOMPARE(f.list()->count(), 19);
        QCOMPARE(test::readBytes(f.exportPath), expectedBytes("wide-range-rooms-200-to-299.out"));
    }

    void creaFileWithNoCardShowsTheHeaderAlone()
    {
        Front f;
        QVERIFY(f.active());
        f.setDates(QStringLiteral("15/08/2024"), QStringLiteral("15/08/2024"));
        f.window->t(0)->click();
        QCOMPARE(f.list()->count(), 1);
        QCOMPARE(f.list()->item(0)->text(), QStringLiteral("TBPRES01      "));
        QCOMPARE(f.selectedCount(), 1);
    }

    void creaFileStoppedOnACardLeavesTheList()
    {
        Front f;
        QVERIFY(f.active());
        f.setDates(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024"));
        f.window->t(0)->click();
        QCOMPARE(f.list()->count(), 57);
        f.list()->item(3)->setSelected(false);

        f.setDates(QStringLiteral("27/06/2024"), QStringLiteral("27/06/2024"));
        {
            test::DialogAnswer answer(QStringLiteral("T0"));
            f.window->t(0)->click();
            QCOMPARE(answer.seen().size(), 1);
            QCOMPARE(answer.seen().at(0).kind, QStringLiteral("MsgBox_Form"));
            QCOMPARE(answer.seen().at(0).title, QStringLiteral("Errore per Tassa di Soggiorno"));
            QCOMPARE(answer.seen().at(0).text, exporter::fromCp1252(expectedBytes("card-X27.findings")));
        }
        QCOMPARE(exporter::MessaggioErrore, QStringLiteral("Fine"));
        QCOMPARE(f.list()->count(), 57);
        QCOMPARE(f.selectedCount(), 56);
        QVERIFY(!f.list()->item(3)->isSelected());
        QTRY_COMPARE(f.field(0)->text(), QStringLiteral("09/05/2024"));
        QCOMPARE(f.field(1)->text(), QStringLiteral("09/05/2024"));
    }

    void creaFileWithoutSettingsWarnsAndLeavesTheList()
    {
        Front f;
        QVERIFY(f.active());
        QVERIFY(QFile::remove(f.dir.filePath(QStringLiteral("TaxSetup.txt"))));
        test::DialogAnswer answer(QStringLiteral("T0"));
        f.window->t(0)->click();
        QCOMPARE(answer.seen().size(), 1);
        QCOMPARE(answer.seen().at(0).kind, QStringLiteral("QMessageBox"));
        QCOMPARE(answer.seen().at(0).text, QStringLiteral("TaxSetup.txt"));
        QCOMPARE(answer.seen().at(0).title, QStringLiteral("!!!"));
        QCOMPARE(answer.seen().at(0).icon, QMessageBox::Warning);
        QCOMPARE(f.list()->count(), 0);
    }

    void inviaWithEveryLineSelected()
    {
        Front f;
        QVERIFY(f.active());
        f.setDates(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024"));
        f.window->t(0)->click();
        QFile::remove(f.exportPath);  // proves "&Invia" writes it anew
        f.window->t(2)->click();
        QCOMPARE(test::readBytes(f.exportPath), expectedBytes("wide-range.out"));
        QVERIFY(!QFileInfo::exists(f.dir.filePath(QStringLiteral("Passa.txt"))));
        QCOMPARE(f.starter.started, QStringList{kCommand});
        QVERIFY(!f.window->isVisible());
    }

    void inviaWithOneLineSelected()
    {
        Front f;
        QVERIFY(f.active());
        f.setDates(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024"));
        f.window->t(0)->click();
        f.list()->clearSelection();
        f.list()->item(5)->setSelected(true);
        f.window->t(2)->click();
        const QStringList expected = expectedLines(QStringLiteral("wide-range.out"));
        QCOMPARE(test::readBytes(f.exportPath), exporter::toCp1252(expected.at(5)));
        QCOMPARE(test::readBytes(f.exportPath).size(), 776);
        QVERIFY(!QFileInfo::exists(f.dir.filePath(QStringLiteral("Passa.txt"))));
        QCOMPARE(f.starter.started.size(), 1);
        QVERIFY(!f.window->isVisible());
    }

    void inviaWithTwoLinesKeepsListOrder()
    {
        Front f;
        QVERIFY(f.active());
        f.setDates(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024"));
        f.window->t(0)->click();
        f.list()->clearSelection();
        f.list()->item(9)->setSelected(true);
        f.list()->item(0)->setSelected(true);
        f.window->t(2)->click();
        const QStringList expected = expectedLines(QStringLiteral("wide-range.out"));
        QCOMPARE(test::readBytes(f.exportPath), exporter::toCp1252(expected.at(0) + "\r\n" + expected.at(9)));
    }

    void inviaWithNoLineSelected_data()
    {
        QTest::addColumn<bool>("creaFileFirst");
        QTest::newRow("every line deselected") << true;
        QTest::newRow("empty list") << false;
    }

    void inviaWithNoLineSelected()
    {
        QFETCH(bool, creaFileFirst);
        Front f;
        QVERIFY(f.active());
        if (creaFileFirst) {
            f.setDates(QStringLiteral("01/01/2000"), QStringLiteral("30/04/2024"));
            f.window->t(0)->click();
            f.list()->clearSelection();
        }
        f.window->t(2)->click();
        QVERIFY(QFileInfo::exists(f.exportPath));
        QCOMPARE(test::readBytes(f.exportPath), QByteArray());
        QVERIFY(QFileInfo::exists(f.dir.filePath(QStringLiteral("Passa.txt"))));
        QCOMPARE(test::readBytes(f.dir.filePath(QStringLiteral("Passa.txt"))), QByteArray());
        QCOMPARE(f.starter.started, QStringList{kCommand});
        QVERIFY(!f.window->isVisible());
    }

    void inviaWithABlankCommandStartsNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("blanks") << "   ";
        QTest::newRow("empty") << "";
    }

    void inviaWithABlankCommandStartsNothing()
    {
        QFETCH(QString, command);
        Front f(QDate(2024, 5, 10), command);
        QVERIFY(f.active());
        f.window->t(2)->click();
        QVERIFY(f.starter.started.isEmpty());
        QVERIFY(!f.window->isVisible());
    }

    // The command keeps its blanks: it is started as written.
    void inviaStartsTheCommandUntrimmed()
    {
        Front f(QDate(2024, 5, 10), QStringLiteral(" browser x "));
        QVERIFY(f.active());
        f.window->t(2)->click();
        QCOMPARE(f.starter.started, QStringList{QStringLiteral(" browser x ")});
    }

    // The export path comes from the file at the moment of sending.
    void inviaReadsTheExportPathAfresh()
    {
        Front f;
        QVERIFY(f.active());
        const QString other = f.dir.filePath(QStringLiteral("altro.txt"));
        f.dir.writeSettings(other, QStringLiteral("ignored"));
        f.window->t(2)->click();
        QVERIFY(QFileInfo::exists(other));
        QVERIFY(!QFileInfo::exists(f.exportPath));
        // The command is the one loaded at start.
        QCOMPARE(f.starter.started, QStringList{kCommand});
    }

    void inviaToAnUnwritablePathKeepsTheWindowOpen()
    {
        Front f;
        QVERIFY(f.active());
        f.setDates(QStringLiteral("15/08/2024"), QStringLiteral("15/08/2024"));
        f.window->t(0)->click();
        QCOMPARE(f.list()->count(), 1);
        QVERIFY(QFile::remove(f.exportPath));
        QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("ZaverUdevu.txt")));
        test::DialogAnswer answer(QStringLiteral("T0"));
        f.window->t(2)->click();
        QCOMPARE(answer.seen().size(), 1);
        QVERIFY(answer.seen().at(0).text.contains(QStringLiteral("ZaverUdevu.txt")));
        QVERIFY(f.starter.started.isEmpty());
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.list()->count(), 1);
    }

    void inviaWithACommandThatCannotStartIsReported()
    {
        Front f;
        QVERIFY(f.active());
        f.starter.succeeds = false;
        test::DialogAnswer answer(QStringLiteral("T0"));
        f.window->t(2)->click();
        QCOMPARE(answer.seen().size(), 1);
        QVERIFY(answer.seen().at(0).text.contains(kCommand));
        QVERIFY(f.window->isVisible());
        QVERIFY(QFileInfo::exists(f.exportPath));
    }

    void menuChangesTheExportPathForTheNextRun()
    {
        Front f;
        QVERIFY(f.active());
        const QString other = f.dir.filePath(QStringLiteral("nuovo.txt"));
        {
            test::DialogAnswer answer(QStringLiteral("T0"), other);
            f.window->menu2(1)->trigger();
            QCOMPARE(answer.seen().size(), 1);
            QCOMPARE(answer.seen().at(0).entry, f.exportPath);
        }
        QCOMPARE(test::readBytes(QStringLiteral("TaxSetup.txt")), (other + "\r\n" + kCommand + "\r\n").toUtf8());
        f.setDates(QStringLiteral("15/08/2024"), QStringLiteral("15/08/2024"));
        f.window->t(0)->click();
        QCOMPARE(test::readBytes(other), QByteArray("TBPRES01      "));
        QCOMPARE(f.list()->count(), 1);
    }

    void menuChangesTheCommandForInvia()
    {
        Front f;
        QVERIFY(f.active());
        {
            test::DialogAnswer answer(QStringLiteral("T0"), QStringLiteral("viewer page"));
            f.window->menu2(2)->trigger();
            QCOMPARE(answer.seen().size(), 1);
            QCOMPARE(answer.seen().at(0).entry, kCommand);
        }
        {
            test::DialogAnswer answer(QStringLiteral("T1"), QStringLiteral("not this"));
            f.window->menu2(1)->trigger();
        }
        QCOMPARE(test::readBytes(QStringLiteral("TaxSetup.txt")), (f.exportPath + "\r\nviewer page\r\n").toUtf8());
        f.window->t(2)->click();
        QCOMPARE(f.starter.started, QStringList{QStringLiteral("viewer page")});
    }

    void esciClosesTheWindow()
    {
        Front f;
        QVERIFY(f.active());
        QCOMPARE(f.window->t(1)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_E));
        QTest::keyClick(f.window.get(), Qt::Key_E, Qt::AltModifier);
        QTRY_VERIFY(!f.window->isVisible());
        QVERIFY(f.starter.started.isEmpty());
    }

    // Enter walks first date, last date, rooms, then presses "&Crea File".
    void enterThroughTheFieldsRunsCreaFile()
    {
        Front f;
        QVERIFY(f.active());
        f.field(0)->setText(QStringLiteral("01012000"));
        f.field(1)->setText(QStringLiteral("30042024"));
        f.field(2)->setText(QStringLiteral("200"));
        f.field(3)->setText(QStringLiteral("299"));
        f.field(0)->setFocus();
        for (int i = 0; i < 4; ++i) {
            QTRY_COMPARE(QApplication::focusWidget(), f.field(i));
            QTest::keyClick(f.field(i), Qt::Key_Return);
        }
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.window->t(0)));
        QCOMPARE(f.field(0)->text(), QStringLiteral("01/01/2000"));
        QCOMPARE(f.field(1)->text(), QStringLiteral("30/04/2024"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(f.list()->count(), 19);
        QCOMPARE(test::readBytes(f.exportPath), expectedBytes("wide-range-rooms-200-to-299.out"));
    }

    void unreadableSettingsAtLoadAreReported()
    {
        test::ScratchDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("TaxSetup.txt")));
        RecordingStarter starter;
        test::DialogAnswer answer(QStringLiteral("T0"));
        ui::OstelviaDT window(&starter, [] { return QDate(2024, 5, 10); });
        QCOMPARE(answer.seen().size(), 1);
        QVERIFY(answer.seen().at(0).text.contains(QStringLiteral("TaxSetup.txt")));
        QCOMPARE(ui::PercorsoFile, ui::PercorsoFilePredefinito());
    }

    void settingsFileCreatedAtLoad()
    {
        test::ScratchDir dir;
        RecordingStarter starter;
        ui::OstelviaDT window(&starter, [] { return QDate(2024, 5, 10); });
        QCOMPARE(test::readBytes(dir.filePath(QStringLiteral("TaxSetup.txt"))),
                 (ui::PercorsoFilePredefinito() + "\r\n" + ui::ComandoPaginaWebPredefinito() + "\r\n").toLatin1());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
