// SPDX-License-Identifier: GPL-3.0-or-later
// The main window driven as a user would: keys in the fields, the buttons, the
// menu, with the dialogs answered from the test, a fixed clock and a process
// starter that only records.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QtTest>

#include "export/ExportRun.h"
#include "export/PrivateFiles.h"
#include "FrontOffice.h"
#include "platform/Platform.h"
#include "ui/dialogs/Twips.h"
#include "ui/main/Settings.h"

using namespace ostelvia;
using test::Front;
using test::kCommand;
using test::referenceBytes;

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
        QCOMPARE(w.percorsoFileAction()->text(), QStringLiteral("Percorso creazione file ZaverUdevu.txt"));
        QCOMPARE(w.comandoPaginaWebAction()->text(), QStringLiteral("Impostazione apertura pagina web "));
        // Labels sit on the left of their fields, on the same row.
        QCOMPARE(w.primaCameraLabel()->y(), f.field(2)->y());
        QCOMPARE(w.ultimaCameraLabel()->y(), f.field(3)->y());
        QCOMPARE(f.field(2)->text(), QString());
        QCOMPARE(f.field(3)->text(), QStringLiteral("ZZZZZZ"));
        QCOMPARE(f.list()->selectionMode(), QAbstractItemView::MultiSelection);
        QVERIFY(QFontInfo(f.list()->font()).fixedPitch());
        QCOMPARE(f.list()->lineCount(), 0);
        // Every text box lies inside its shape.
        const std::array<QString, 4> shapes{"Shape1_0", "Shape1_3", "Shape1_1", "Shape1_2"};
        for (int i = 0; i < 4; ++i) {
            auto* shape = w.area()->findChild<QWidget*>(shapes[i]);
            QVERIFY(shape);
            QVERIFY(shape->geometry().contains(f.field(i)->geometry()));
        }
        QCOMPARE(f.field(0)->geometry(), ui::TwipsToPixels(ui::TwipRect{1560, 360, 1695, 285}, dpi));
        // The preset last room fits its box.
        QVERIFY(f.field(3)->fontMetrics().horizontalAdvance(QStringLiteral("ZZZZZZ")) + 4 <= f.field(3)->width());
    }

    void tabOrderFollowsTabIndex()
    {
        Front f;
        ui::OstelviaDT& w = *f.window;
        const QList<QWidget*> expected{f.field(0), f.field(2),      f.field(3), w.creaFileButton(), w.esciButton(),
                                       f.list(),   w.inviaButton(), f.field(1), f.field(0)};
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
            f.window->percorsoFileAction()->trigger();
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

    // Enter in a date field: normalised, then the focus moves on or the
    // field (or, for a last date before the first, the first) is emptied.
    void enterInADate_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("firstAfter");
        QTest::addColumn<QString>("lastAfter");
        QTest::addColumn<int>("focusOn");
        const QString y = QStringLiteral("09/05/2024");
        QTest::newRow("first: six digits") << 0 << ""
                                           << "240413"
                                           << "24/04/2013" << y << 1;
        QTest::newRow("first: eight digits") << 0 << ""
                                             << "01022024"
                                             << "01/02/2024" << y << 1;
        QTest::newRow("first: blanks around") << 0 << ""
                                              << " 29022024 "
                                              << "29/02/2024" << y << 1;
        QTest::newRow("first: 31 February rejected") << 0 << ""
                                                     << "31022013"
                                                     << "" << y << 0;
        QTest::newRow("first: 29 February 1923 rejected") << 0 << ""
                                                          << "290223"
                                                          << "" << y << 0;
        QTest::newRow("first: letters rejected") << 0 << ""
                                                 << "abc"
                                                 << "" << y << 0;
        QTest::newRow("last: after the first") << 1 << "01/05/2024"
                                               << "10052024"
                                               << "01/05/2024"
                                               << "10/05/2024" << 2;
        QTest::newRow("last: year 19 is 2019") << 1 << "01/01/2019"
                                               << "020119"
                                               << "01/01/2019"
                                               << "02/01/2019" << 2;
        QTest::newRow("last: year 99 is 1999") << 1 << "01/01/2000"
                                               << "311299"
                                               << ""
                                               << "31/12/1999" << 1;
        QTest::newRow("last: same day") << 1 << "10/05/2024"
                                        << "10/05/2024"
                                        << "10/05/2024"
                                        << "10/05/2024" << 2;
        QTest::newRow("last: before the first") << 1 << "10/05/2024"
                                                << "01052024"
                                                << ""
                                                << "01/05/2024" << 1;
        QTest::newRow("last: invalid") << 1 << "10/05/2024"
                                       << "320524"
                                       << "10/05/2024"
                                       << "" << 1;
        // Years compare before days: 01/01/2025 is after 31/12/2024.
        QTest::newRow("last: across a year") << 1 << "31/12/2024"
                                             << "01012025"
                                             << "31/12/2024"
                                             << "01/01/2025" << 2;
    }

    void enterInADate()
    {
        QFETCH(int, index);
        QFETCH(QString, first);
        QFETCH(QString, typed);
        QFETCH(QString, firstAfter);
        QFETCH(QString, lastAfter);
        QFETCH(int, focusOn);
        Front f;
        QVERIFY(f.active());
        if (index == 1)
            f.field(0)->setText(first);
        f.field(index)->setFocus();
        f.field(index)->clear();
        QTest::keyClicks(f.field(index), typed);
        // The main Enter on the first date, the keypad's on the last.
        QTest::keyClick(f.field(index), index == 0 ? Qt::Key_Return : Qt::Key_Enter);
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
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.window->creaFileButton()));
    }

    void plusWritesAndOpensTheCodeList()
    {
        Front f;
        QVERIFY(f.active());
        f.field(2)->setFocus();
        f.field(2)->setText(QStringLiteral("10"));
        f.field(2)->end(false);
        QTest::keyClick(f.field(2), '+');
        QCOMPARE(test::readBytes(f.dir.filePath(QStringLiteral("ListaPS.txt"))), referenceBytes("ListaPS.txt"));
        QCOMPARE(f.field(2)->text(), QStringLiteral("10+"));
        QCOMPARE(f.starter.started.size(), 1);
#ifdef Q_OS_WIN
        // Notepad finds the list in the current folder, whatever its case.
        QCOMPARE(f.starter.started.at(0), QStringLiteral("notepad ListaPs.txt"));
#else
        const QStringList words = QProcess::splitCommand(f.starter.started.at(0));
        QCOMPARE(words.size(), 2);
        QCOMPARE(words.at(0), QStringLiteral("xdg-open"));
        QCOMPARE(QFileInfo(words.at(1)).absoluteFilePath(),
                 QFileInfo(f.dir.filePath(QStringLiteral("ListaPS.txt"))).absoluteFilePath());
#endif
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
        QVERIFY(f.creaFile().isEmpty());
        const QStringList expected = test::referenceLines(QStringLiteral("wide-range.out"));
        QCOMPARE(expected.size(), 57);
        QCOMPARE(f.listed(), expected);
        QCOMPARE(f.selectedCount(), 57);
        QCOMPARE(test::readBytes(f.exportPath), referenceBytes("wide-range.out"));
        QVERIFY(f.dir.databasesUntouched());
    }

    void creaFileStoppedOnACardLeavesTheList()
    {
        Front f;
        QVERIFY(f.active());
        QVERIFY(f.creaFile().isEmpty());
        f.list()->setLineSelected(3, false);
        const QList<test::DialogSeen> seen = f.creaFile(QStringLiteral("27/06/2024"), QStringLiteral("27/06/2024"));
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen.at(0).kind, QStringLiteral("MsgBox_Form"));
        QCOMPARE(seen.at(0).title, QStringLiteral("Errore per Tassa di Soggiorno"));
        QCOMPARE(seen.at(0).text, text::fromCp1252(referenceBytes("card-X27.findings")));
        QCOMPARE(exporter::MessaggioErrore, QStringLiteral("Fine"));
        QCOMPARE(f.list()->lineCount(), 57);
        QCOMPARE(f.selectedCount(), 56);
        QVERIFY(!f.list()->isLineSelected(3));
        QTRY_COMPARE(f.field(0)->text(), QStringLiteral("09/05/2024"));
        QCOMPARE(f.field(1)->text(), QStringLiteral("09/05/2024"));
    }

    void creaFileWithoutSettingsWarnsAndLeavesTheList()
    {
        Front f;
        QVERIFY(f.active());
        QVERIFY(QFile::remove(f.dir.filePath(QStringLiteral("TaxSetup.txt"))));
        const QList<test::DialogSeen> seen = f.press(f.window->creaFileButton());
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen.at(0).kind, QStringLiteral("QMessageBox"));
        QCOMPARE(seen.at(0).text, QStringLiteral("TaxSetup.txt"));
        QCOMPARE(seen.at(0).title, QStringLiteral("!!!"));
        QCOMPARE(seen.at(0).icon, QMessageBox::Warning);
        QCOMPARE(f.list()->lineCount(), 0);
    }

    // "&Invia" writes the selected lines, in list order, and the header line
    // whether or not it is selected: with none selected, or nothing listed,
    // the header alone, and nothing beside it. The command starts either way.
    void inviaWritesTheSelectedLines_data()
    {
        QTest::addColumn<bool>("creaFileFirst");
        QTest::addColumn<QList<int>>("selected");  // {-1}: as "&Crea File" left it
        QTest::newRow("every line") << true << QList<int>{-1};
        QTest::newRow("one line") << true << QList<int>{5};
        QTest::newRow("two lines, list order") << true << QList<int>{9, 0};
        QTest::newRow("every line deselected") << true << QList<int>{};
        QTest::newRow("empty list") << false << QList<int>{};
    }

    void inviaWritesTheSelectedLines()
    {
        QFETCH(bool, creaFileFirst);
        QFETCH(QList<int>, selected);
        Front f;
        QVERIFY(f.active());
        if (creaFileFirst)
            QVERIFY(f.creaFile().isEmpty());
        const QStringList lines = test::referenceLines(QStringLiteral("wide-range.out"));
        QStringList expected = lines;
        if (selected != QList<int>{-1}) {
            f.list()->clearSelection();
            for (int i : selected)
                f.list()->setLineSelected(i, true);
            expected.clear();
            for (int i = 0; i < lines.size(); ++i) {
                if (i == 0 || selected.contains(i))
                    expected.append(lines.at(i));
            }
        }
        QFile::remove(f.exportPath);  // proves "&Invia" writes it anew
        QVERIFY(f.press(f.window->inviaButton()).isEmpty());
        QVERIFY(QFileInfo::exists(f.exportPath));
        QCOMPARE(test::readBytes(f.exportPath), text::toCp1252(expected.join(QStringLiteral("\r\n"))));
        QVERIFY(!QFileInfo::exists(f.dir.filePath(QStringLiteral("Passa.txt"))));
        QVERIFY(!QFileInfo::exists(exporter::stagingPath(f.exportPath)));
        QCOMPARE(f.starter.started, QStringList{kCommand});
        QVERIFY(!f.window->isVisible());
    }

    // The command is started as written, blanks kept; a blank one starts nothing.
    void inviaStartsTheCommandAsWritten_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("started");
        QTest::newRow("blanks kept") << " browser x " << QStringList{QStringLiteral(" browser x ")};
        QTest::newRow("only blanks") << "   " << QStringList{};
        QTest::newRow("empty") << "" << QStringList{};
    }

    void inviaStartsTheCommandAsWritten()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, started);
        Front f(QDate(2024, 5, 10), command);
        QVERIFY(f.active());
        QVERIFY(f.press(f.window->inviaButton()).isEmpty());
        QCOMPARE(f.starter.started, started);
        QVERIFY(!f.window->isVisible());
    }

    // The export path comes from the file at the moment of sending; the
    // command is the one loaded at start.
    void inviaReadsTheExportPathAfresh()
    {
        Front f;
        QVERIFY(f.active());
        const QString other = f.dir.filePath(QStringLiteral("altro.txt"));
        f.dir.writeSettings(other, QStringLiteral("ignored"));
        QVERIFY(f.press(f.window->inviaButton()).isEmpty());
        QVERIFY(QFileInfo::exists(other));
        QVERIFY(!QFileInfo::exists(f.exportPath));
        QCOMPARE(f.starter.started, QStringList{kCommand});
    }

    // The file went out and is kept; the clerk learns which program did not
    // start and where the command is changed, and the tool ends as after
    // any send.
    void inviaWithACommandThatCannotStartIsReported()
    {
        Front f;
        QVERIFY(f.active());
        f.starter.succeeds = false;
        const QList<test::DialogSeen> seen = f.press(f.window->inviaButton());
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen.at(0).text.contains(QStringLiteral("\"%1\"").arg(platform::programOf(kCommand))));
        QVERIFY(seen.at(0).text.contains(QStringLiteral("Impostazioni › Impostazione apertura pagina web")));
        QVERIFY(!f.window->isVisible());
        QVERIFY(QFileInfo::exists(f.exportPath));
    }

    // The new path serves the next run; a day without cards lists the header
    // alone, selected.
    void menuChangesTheExportPathForTheNextRun()
    {
        Front f;
        QVERIFY(f.active());
        const QString other = f.dir.filePath(QStringLiteral("nuovo.txt"));
        {
            test::DialogAnswer answer(QStringLiteral("T0"), other);
            f.window->percorsoFileAction()->trigger();
            QCOMPARE(answer.seen().size(), 1);
            QCOMPARE(answer.seen().at(0).entry, f.exportPath);
        }
        QCOMPARE(test::readBytes(QStringLiteral("TaxSetup.txt")), (other + "\r\n" + kCommand + "\r\n").toUtf8());
        QVERIFY(f.creaFile(QStringLiteral("15/08/2024"), QStringLiteral("15/08/2024")).isEmpty());
        QCOMPARE(test::readBytes(other), QByteArray("TBPRES01      "));
        QCOMPARE(f.listed(), QStringList{QStringLiteral("TBPRES01      ")});
        QCOMPARE(f.selectedCount(), 1);
    }

    void menuChangesTheCommandForInvia()
    {
        Front f;
        QVERIFY(f.active());
        {
            test::DialogAnswer answer(QStringLiteral("T0"), QStringLiteral("viewer page"));
            f.window->comandoPaginaWebAction()->trigger();
            QCOMPARE(answer.seen().size(), 1);
            QCOMPARE(answer.seen().at(0).entry, kCommand);
        }
        {
            test::DialogAnswer answer(QStringLiteral("T1"), QStringLiteral("not this"));
            f.window->percorsoFileAction()->trigger();
        }
        QCOMPARE(test::readBytes(QStringLiteral("TaxSetup.txt")), (f.exportPath + "\r\nviewer page\r\n").toUtf8());
        f.window->inviaButton()->click();
        QCOMPARE(f.starter.started, QStringList{QStringLiteral("viewer page")});
    }

    void esciClosesTheWindow()
    {
        Front f;
        QVERIFY(f.active());
        QCOMPARE(f.window->esciButton()->shortcut(), QKeySequence(QStringLiteral("Alt+E")));
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
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.window->creaFileButton()));
        QCOMPARE(f.field(0)->text(), QStringLiteral("01/01/2000"));
        QCOMPARE(f.field(1)->text(), QStringLiteral("30/04/2024"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(f.list()->lineCount(), 19);
        QCOMPARE(test::readBytes(f.exportPath), referenceBytes("wide-range-rooms-200-to-299.out"));
    }

    // At load a missing settings file is written with the defaults; an
    // unreadable one is reported and the defaults are used.
    void settingsAtLoad()
    {
        test::RecordingStarter starter;
        const auto today = [] { return QDate(2024, 5, 10); };
        {
            test::ScratchDir dir;
            ui::OstelviaDT window(&starter, today);
            QCOMPARE(test::readBytes(dir.filePath(QStringLiteral("TaxSetup.txt"))),
                     (ui::defaultExportPath() + "\r\n" + ui::defaultWebPageCommand() + "\r\n").toLatin1());
        }
        test::ScratchDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("TaxSetup.txt")));
        test::DialogAnswer answer(QStringLiteral("T0"));
        ui::OstelviaDT window(&starter, today);
        QCOMPARE(answer.seen().size(), 1);
        QVERIFY(answer.seen().at(0).text.contains(QStringLiteral("TaxSetup.txt")));
        QCOMPARE(ui::PercorsoFile, ui::defaultExportPath());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
