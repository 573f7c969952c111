// SPDX-License-Identifier: GPL-3.0-or-later
// The review windows as a clerk uses them: the typed range survives every
// window that is not one of the tool's two dialogs, a question whose "Sì"
// cannot be taken back answers No to Enter and Escape, the header always goes
// out, the report sorts dates and numbers by value, saves what it shows, fits
// a small screen and shows card data as plain text.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLibraryInfo>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "compat/QtCompat.h"
#include "db/Run.h"
#include "export/CardSelection.h"
#include "export/CheckOutput.h"
#include "export/SendArchive.h"
#include "FrontOffice.h"
#include "text/Cp1252.h"
#include "ui/main/CheckReportWindow.h"
#include "ui/main/FieldView.h"
#include "ui/main/FrontOfficeFolder.h"
#include "ui/main/QtTranslations.h"
#include "ui/main/TotalsView.h"

using namespace ostelvia;
using test::Front;

namespace {

const QString kFrom = QStringLiteral("01/06/2024");
const QString kTo = QStringLiteral("16/07/2024");

// Closes the next modal window with Escape, noting its class.
void escapeNext(QString* seen)
{
    test::answerNext([seen](QDialog* dialog) {
        QVERIFY(dialog);
        *seen = QString::fromLatin1(dialog->metaObject()->className());
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
}

// Answers the next message dialog with a key on the button that has the focus.
void keyOnFocusedButton(Qt::Key key, QString* focused, QString* yesCaption)
{
    test::answerNext([=](QDialog* dialog) {
        QVERIFY(dialog);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QWidget* focus = dialog->focusWidget();
        *focused = focus ? focus->objectName() : QString();
        *yesCaption = dialog->findChild<QAbstractButton*>(QStringLiteral("T0"))->text();
        QTest::keyClick(focus ? focus : dialog, key);
    });
}

void expectRange(const Front& f)
{
    QCOMPARE(f.field(0)->text(), kFrom);
    QCOMPARE(f.field(1)->text(), kTo);
}

exporter::CheckedCard card(const QString& number, const QString& name, const QString& departure)
{
    return {QStringLiteral("Scheda_Cliente.mdb"),
            QStringLiteral("101"),
            number,
            name,
            QStringLiteral("01/05/2024"),
            departure,
            {{QStringLiteral("Sesso errato () ") + name, {}}}};
}

QStringList column(const QTableWidget* table, int col)
{
    QStringList cells;
    for (int row = 0; row < table->rowCount(); ++row)
        cells.append(table->item(row, col)->text());
    return cells;
}

}  // namespace

class TestClerkWindows : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Remembered window sizes and folders stay in a scratch folder.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, userSettings_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, userSettings_.path());
    }

    void typedRangeSurvivesEveryWindowAndTheSendQuestion()
    {
        Front f;
        QVERIFY(f.active());
        QVERIFY(f.creaFile().isEmpty());
        f.setDates(kFrom, kTo);

        QString seen;
        escapeNext(&seen);
        f.window->checkAllCardsAction()->trigger();
        QCOMPARE(seen, QStringLiteral("ostelvia::ui::CheckReportWindow"));
        expectRange(f);

        escapeNext(&seen);
        f.window->findChild<QAction*>(QStringLiteral("totals"))->trigger();
        QCOMPARE(seen, QStringLiteral("ostelvia::ui::TotalsView"));
        expectRange(f);

        // Enter on a line opens its fields.
        f.list()->setFocus();
        f.list()->setCurrentIndex(f.list()->model()->index(1, 0));
        escapeNext(&seen);
        QTest::keyClick(f.list(), Qt::Key_Return);
        QCOMPARE(seen, QStringLiteral("ostelvia::ui::FieldView"));
        expectRange(f);

        ui::folderChooser() = [](QWidget*, const QString&, const QString&) { return QString(); };
        f.window->findChild<QAction*>(QStringLiteral("menuCartella"))->trigger();
        expectRange(f);

        // The same lines sent before: "Inviare comunque?" opens on "No", and
        // Enter, then Escape, answer it; nothing is sent, the range stays.
        const QByteArray created = test::readBytes(f.exportPath);
        QDir().mkpath(f.dir.filePath(exporter::kArchiveFolder));
        test::writeBytes(QDir(f.dir.filePath(exporter::kArchiveFolder)).filePath("2024-04-30_09-12-40.txt"), created);
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            QString focused, yes;
            keyOnFocusedButton(key, &focused, &yes);
            f.window->inviaButton()->click();
            QCOMPARE(focused, QStringLiteral("T1"));
            QCOMPARE(yes, QStringLiteral("S\u00EC"));
            QVERIFY(f.window->isVisible());
            QVERIFY(f.starter.started.isEmpty());
            QCOMPARE(test::readBytes(f.exportPath), created);
            expectRange(f);
        }

        // The tool's own dialogs still preset the dates, as they always have.
        {
            test::DialogAnswer answer(QStringLiteral("T1"));
            f.window->comandoPaginaWebAction()->trigger();
        }
        QTRY_COMPARE(f.field(0)->text(), QStringLiteral("09/05/2024"));
    }

    // The check and the tax report refuse dates they cannot mean, naming the
    // field as the window labels it, and leave the dates as typed with the
    // wrong one focused.
    void checkAndReportRefuseDatesTheyCannotMean()
    {
        Front f;
        QVERIFY(f.active());
        struct Case {
            QString from;
            QString to;
            int wrongField;
            QString expected;
        };
        const Case cases[] = {
            {QStringLiteral("1/3/2024"), QStringLiteral("31/3/2024"), 0,
             QStringLiteral("\"Dalla data\": \"1/3/2024\" non è una data nella forma GG/MM/AAAA")},
            {QStringLiteral("01/03/2024"), QStringLiteral("31/02/2024"), 1,
             QStringLiteral("\"Alla data\": il 31/02/2024 non esiste")},
            {QStringLiteral("31/03/2024"), QStringLiteral("01/03/2024"), 1,
             QStringLiteral("\"Alla data\": il 01/03/2024 è precedente alla prima data")},
        };
        for (QAction* action : {f.window->checkAllCardsAction(), f.window->taxReportAction()}) {
            for (const Case& c : cases) {
                f.setDates(c.from, c.to);
                QList<test::DialogSeen> seen;
                {
                    test::DialogAnswer answer(QStringLiteral("T0"));
                    action->trigger();
                    seen = answer.seen();
                }
                QCOMPARE(seen.size(), 1);
                QCOMPARE(seen[0].kind, QStringLiteral("MsgBox_Form"));
                QVERIFY2(seen[0].text.contains(c.expected), qPrintable(seen[0].text));
                QCOMPARE(f.field(0)->text(), c.from);
                QCOMPARE(f.field(1)->text(), c.to);
                QTRY_VERIFY(f.field(c.wrongField)->hasFocus());
            }
        }
    }

    // Messages of the tool's own that ask for the same again keep the dates:
    // the files that kept changing during "Crea File", and the months the
    // archive keeps, answered wrongly or rightly.
    void ownMessagesKeepTheTypedRange()
    {
        Front f;
        QVERIFY(f.active());
        // A range whose cards all pass, so the run reaches the history.
        const QString from = QStringLiteral("01/01/2000");
        const QString to = QStringLiteral("30/04/2024");
        f.setDates(from, to);
        const auto expectTyped = [&] {
            QCOMPARE(f.field(0)->text(), from);
            QCOMPARE(f.field(1)->text(), to);
        };
        const QString current = f.dir.filePath(exporter::kSchedeCorrenti);
        db::testing::setAfterFileRead([&](const QString& fileName) {
            if (fileName == exporter::kSchedeStorico)
                test::writeBytes(current, test::readBytes(current));
        });
        const QList<test::DialogSeen> retry = f.press(f.window->creaFileButton());
        db::testing::setAfterFileRead({});
        QCOMPARE(retry.size(), 1);
        QCOMPARE(retry[0].text, db::fileKeptChanging(exporter::kSchedeCorrenti));
        expectTyped();

        for (const QString& typed : {QStringLiteral("tanti"), QStringLiteral("12")}) {
            test::DialogAnswer answer(QStringLiteral("T0"), typed);
            f.window->findChild<QAction*>(QStringLiteral("menuConservazione"))->trigger();
            QCOMPARE(answer.seen().size(), typed == QStringLiteral("12") ? 1 : 2);
            expectTyped();
        }
    }

    void aQuestionWithNoByDefaultNeedsSiClicked()
    {
        QString focused, yes;
        // "No" shows its focus frame from the start, as after a Tab.
        bool focusShown = false;
        test::answerNext([&](QDialog* dialog) {
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            focusShown = dialog->testAttribute(Qt::WA_KeyboardFocusChange)
                && dialog->findChild<QAbstractButton*>("T1")->hasFocus();
            dialog->findChild<QAbstractButton*>("T1")->click();
        });
        QVERIFY(!ui::confirmWithNoByDefault(QStringLiteral("Inviare comunque?"), QStringLiteral("Titolo")));
        QVERIFY(focusShown);
        keyOnFocusedButton(Qt::Key_Enter, &focused, &yes);
        QVERIFY(!ui::confirmWithNoByDefault(QStringLiteral("Inviare comunque?"), QStringLiteral("Titolo")));
        QCOMPARE(focused, QStringLiteral("T1"));
        test::answerNext([](QDialog* dialog) { dialog->findChild<QAbstractButton*>("T0")->click(); });
        QVERIFY(ui::confirmWithNoByDefault(QStringLiteral("Inviare comunque?"), QStringLiteral("Titolo")));
        // An ordinary question keeps the described focus on its first button.
        keyOnFocusedButton(Qt::Key_Return, &focused, &yes);
        QCOMPARE(ui::MostraMessaggio(QStringLiteral("Domanda"), ui::Stile::SiNo, QStringLiteral("T")),
                 ui::Risposta::Si);
        QCOMPARE(focused, QStringLiteral("T0"));
    }

    // By keyboard alone: the line under the table reads a cut problem whole,
    // and "Ordina per" with "Decrescente" sorts as the headings do.
    void reportReadsAndSortsByKeyboard()
    {
        exporter::CheckReport report;
        report.cards = {card(QStringLiteral("20"), QStringLiteral("ZETA"), QStringLiteral("03/05/2024")),
                        card(QStringLiteral("3"), QStringLiteral("ALFA"), QStringLiteral("10/05/2024"))};
        report.cards[0].problems[0].text =
            QStringLiteral("Sesso errato () ") + QString(300, QLatin1Char('X')) + QStringLiteral(" FINE");
        report.totals.withProblems = 2;
        ui::CheckReportWindow window(report, QStringLiteral("Partenze"));
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.table()->setFocus();
        QVERIFY2(window.detailLabel()->text().endsWith(QStringLiteral("X FINE")),
                 qPrintable(window.detailLabel()->text()));
        QVERIFY(window.table()->columnWidth(6)
                < window.fontMetrics().horizontalAdvance(QString(300, QLatin1Char('X'))));
        QTest::keyClick(window.table(), Qt::Key_Down);
        QVERIFY(window.detailLabel()->text().contains(QStringLiteral("ALFA")));

        QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
        QVERIFY(window.sortColumnBox()->hasFocus());
        window.sortColumnBox()->setCurrentIndex(2);  // "Progressivo", as the arrows choose it
        QCOMPARE(column(window.table(), 2), (QStringList{"3", "20"}));
        QTest::keyClick(window.descendingBox(), Qt::Key_Space);
        QCOMPARE(column(window.table(), 2), (QStringList{"20", "3"}));
        QCOMPARE(window.table()->horizontalHeader()->sortIndicatorSection(), 2);
        // A heading clicked is followed by the keyboard's controls.
        window.table()->horizontalHeader()->setSortIndicator(5, Qt::AscendingOrder);
        QCOMPARE(window.sortColumnBox()->currentIndex(), 5);
        QVERIFY(!window.descendingBox()->isChecked());
    }

    // The current line of a long, all-selected list is framed in the colour
    // that stands out on it.
    void theCurrentLineStandsOutAmongSelectedOnes()
    {
        Front f;
        QVERIFY(f.active());
        QVERIFY(f.creaFile().isEmpty());
        f.list()->setFocus();
        const QPalette colours = f.list()->palette();
        for (const bool selected : {true, false}) {
            const QModelIndex line = f.list()->model()->index(2, 0);
            f.list()->selectionModel()->setCurrentIndex(line, QItemSelectionModel::NoUpdate);
            f.list()->setLineSelected(2, selected);
            const QImage seen = f.list()->viewport()->grab().toImage();
            const QRect rect = f.list()->visualRect(line);
            const QColor frame = seen.pixelColor(rect.left() + 1, rect.center().y());
            QCOMPARE(frame, colours.color(selected ? QPalette::HighlightedText : QPalette::Highlight));
        }
    }

    void theHeaderAlwaysGoesOut()
    {
        const QByteArray header = text::toCp1252(QStringLiteral("TBPRES01      "));
        {
            Front f;
            QVERIFY(f.active());
            QVERIFY(f.creaFile().isEmpty());
            const int lines = f.list()->lineCount();
            QVERIFY(lines > 3);
            f.list()->setLineSelected(0, false);
            f.list()->setLineSelected(2, false);
            f.press(f.window->inviaButton());
            QCOMPARE(f.starter.started.size(), 1);
            const QByteArray sent = test::readBytes(f.exportPath);
            QVERIFY(sent.startsWith(header + "\r\n"));
            QCOMPARE(sent.count("\r\n"), lines - 2);
            const QStringList copies = QDir(f.dir.filePath(exporter::kArchiveFolder)).entryList(QDir::Files);
            QCOMPARE(copies.size(), 1);
            QVERIFY(
                test::readBytes(f.dir.filePath(exporter::kArchiveFolder) + "/" + copies.first()).startsWith(header));
        }
        // Nothing created: the file still has its header, and only that.
        Front f;
        QVERIFY(f.active());
        f.press(f.window->inviaButton());
        QCOMPARE(test::readBytes(f.exportPath), header);
    }

    void reportSortsByValueAndSavesWhatItShows()
    {
        exporter::CheckReport report;
        report.totals = {3, 3, 0};
        report.cards = {card("300", "ROSSI ADA", "02/05/2024"), card("29556", "<b>EMILIA</b>\tNERI", "01/06/2024"),
                        card("1261", "BIANCHI UGO", "//")};
        ui::CheckReportWindow window(report, QStringLiteral("Partenze dal 01/05/2024 al 30/06/2024, tutte le camere"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTableWidget* table = window.table();
        table->sortByColumn(2, Qt::AscendingOrder);
        QCOMPARE(column(table, 2), (QStringList{"300", "1261", "29556"}));
        table->sortByColumn(5, Qt::AscendingOrder);
        QCOMPARE(column(table, 5), (QStringList{"", "02/05/2024", "01/06/2024"}));
        table->sortByColumn(5, Qt::DescendingOrder);
        QCOMPARE(column(table, 2), (QStringList{"29556", "300", "1261"}));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("controllo.csv"));
        window.setAskPath([&](QWidget*) { return path; });
        window.saveCsvButton()->click();
        const QStringList rows = QString::fromUtf8(test::readBytes(path)).split(QStringLiteral("\r\n"));
        QCOMPARE(rows.size(), 5);  // heading, three rows, the empty text after the last CR LF
        for (int i = 0; i < 3; ++i)
            QVERIFY(rows.at(i + 1).contains(QStringLiteral("\"%1\"").arg(column(table, 2).at(i))));

        // Card data as plain text: no markup, no control characters.
        const QTableWidgetItem* name = table->item(0, 3);
        QCOMPARE(name->text(), QStringLiteral("<b>EMILIA</b> NERI"));
        QVERIFY(name->toolTip().contains(QStringLiteral("&lt;b&gt;EMILIA&lt;/b&gt; NERI")));

        // Keyboard: Tab leaves the table, every button has its own access key.
        QVERIFY(!table->tabKeyNavigation());
        QStringList keys;
        for (QPushButton* button : {window.saveCsvButton(), window.printButton(), window.closeButton()}) {
            const qsizetype amp = button->text().indexOf(QLatin1Char('&'));
            QVERIFY(amp >= 0);
            keys.append(button->text().mid(amp + 1, 1).toLower());
        }
        keys.removeDuplicates();
        QCOMPARE(keys.size(), 3);
    }

    void windowsFitTheScreenAndKeepTheirSize()
    {
        const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
        exporter::CheckReport report;
        report.cards = {card("1", "A", "01/05/2024")};
        {
            ui::CheckReportWindow window(report, QString());
            QVERIFY(window.width() <= room.width() && window.height() <= room.height());
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.resize(500, 300);
            window.close();
        }
        ui::CheckReportWindow again(report, QString());
        QCOMPARE(again.size(), QSize(500, 300));

        const QString record = test::referenceLines(QStringLiteral("wide-range.out")).value(1);
        ui::FieldView fields(record, 2);
        QVERIFY(fields.width() <= room.width() && fields.height() <= room.height());
        // A date of zeros is no date.
        QString zeros = record;
        zeros.replace(29, 8, QStringLiteral("00000000"));
        ui::FieldView noDate(zeros, 2);
        QCOMPARE(noDate.fields()->item(4, ui::FieldView::Meaning)->text(), QStringLiteral("nessuna data"));
    }

    void qtDialogsSpeakItalian()
    {
        const QString folder = compat::qtTranslationsFolder();
        if (!QFile::exists(folder + QStringLiteral("/qtbase_it.qm")))
            QSKIP("Qt's Italian translations are not installed");
        QVERIFY(ui::loadQtItalian(*QCoreApplication::instance()));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:") == QStringLiteral("Look in:"), false);
    }

private:
    QTemporaryDir userSettings_;
};

QTEST_MAIN(TestClerkWindows)
#include "test_clerk_windows.moc"
