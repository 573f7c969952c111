// SPDX-License-Identifier: GPL-3.0-or-later
// The main window over damaged databases, failing files and hostile typed
// values: every failure is one message dialog naming the file, the list is
// left alone, nothing is started, and the window takes the next try.
#include <QDir>
#include <QtTest>

#include "export/ExportRun.h"
#include "export/PresenceRecord.h"
#include "export/PrivateFiles.h"
#include "FrontOffice.h"
#include "RobustSupport.h"
#include "ui/main/ErrorMessage.h"

using namespace ostelvia;
using test::Front;
using test::kCommand;

class TestRobustWindow : public QObject {
    Q_OBJECT

private slots:
    void damagedDatabaseIsReportedAndTheWindowRecovers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("damage");
        for (const char* name : {"Scheda_Cliente.mdb", "SchedaStoricoClienti.mdb", "Comuni.mdb", "CodiciVari.mdb"}) {
            QTest::addRow("%s empty", name) << name << "empty";
            QTest::addRow("%s plain text", name) << name << "plain text";
            QTest::addRow("%s cut inside page 1", name) << name << "cut inside page 1";
        }
        QTest::addRow("guest cards, row table wiped") << "Scheda_Cliente.mdb"
                                                      << "row table";
    }

    void damagedDatabaseIsReportedAndTheWindowRecovers()
    {
        QFETCH(QString, name);
        QFETCH(QString, damage);
        Front f;
        QVERIFY(f.active());
        const QByteArray sound = test::readBytes(test::fixtureDir() + QLatin1Char('/') + name);
        QByteArray bytes;
        if (damage == QLatin1String("row table")) {
            bytes = test::overwritten(sound, test::mainTableDataPages(sound).at(0), 12, 16);
        } else {
            for (const test::Damaged& d : test::wholeFileDamage(sound)) {
                if (d.what == damage)
                    bytes = d.bytes;
            }
        }
        QVERIFY(!bytes.isEmpty() || damage == QLatin1String("empty"));
        f.dir.replaceDatabaseBytes(name, bytes);

        const QList<test::DialogSeen> seen = f.creaFile();
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen.at(0).kind, QStringLiteral("MsgBox_Form"));
        QCOMPARE(seen.at(0).title, ui::kTitoloErrore);
        QVERIFY2(seen.at(0).text.contains(QLatin1Char('"') + name + QLatin1Char('"')), qPrintable(seen.at(0).text));
        QCOMPARE(exporter::MessaggioErrore, exporter::kFine);
        QCOMPARE(f.list()->lineCount(), 0);
        QVERIFY(f.starter.started.isEmpty());
        QVERIFY(f.window->isVisible());
        QVERIFY(f.dir.databasesUntouched());

        // The file put right, the next try goes through.
        f.dir.replaceDatabaseBytes(name, sound);
        QVERIFY(f.creaFile().isEmpty());
        QCOMPARE(f.listed(), test::referenceLines(QStringLiteral("wide-range.out")));
        QVERIFY(f.dir.databasesUntouched());
    }

    void damagedReferenceDatabaseStopsTheCodeList()
    {
        Front f;
        QVERIFY(f.active());
        const QByteArray sound = test::readBytes(test::fixtureDir() + QStringLiteral("/PSWebAll.mdb"));
        f.dir.replaceDatabaseBytes(QStringLiteral("PSWebAll.mdb"), sound.left(3 * test::kJetPage + 17));
        {
            test::DialogAnswer answer(QStringLiteral("T0"));
            QTest::keyClick(f.field(2), '+');
            QCOMPARE(answer.seen().size(), 1);
            QVERIFY2(answer.seen().at(0).text.contains(QStringLiteral("\"PSWebAll.mdb\"")),
                     qPrintable(answer.seen().at(0).text));
        }
        QVERIFY(f.starter.started.isEmpty());
        QVERIFY(!QFileInfo::exists(f.dir.filePath(QStringLiteral("ListaPS.txt"))));
        QVERIFY(f.window->isVisible());
        QVERIFY(f.dir.databasesUntouched());
    }

    void exportPathThatFailsIsReportedAndNothingIsListed_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("full disk") << "/dev/full";
        QTest::newRow("under a regular file") << "Comuni.mdb/ZaverUdevu.txt";
        QTest::newRow("missing folder") << "manca/ZaverUdevu.txt";
        QTest::newRow("100 KB path") << QString(100 * 1024, QLatin1Char('x'));
    }

    void exportPathThatFailsIsReportedAndNothingIsListed()
    {
        QFETCH(QString, path);
        Front f;
        QVERIFY(f.active());
        const QString full =
            path.startsWith(QLatin1Char('/')) || !path.contains(QLatin1Char('/')) ? path : f.dir.filePath(path);
        f.dir.writeSettings(full, kCommand);
        const QList<test::DialogSeen> seen = f.creaFile();
        QCOMPARE(seen.size(), 1);
        QVERIFY2(seen.at(0).text.contains(path.left(200)), qPrintable(seen.at(0).text.left(300)));
        QCOMPARE(exporter::MessaggioErrore, exporter::kFine);
        QCOMPARE(f.list()->lineCount(), 0);
        QVERIFY(f.window->isVisible());

        // Settings put right: the window still works.
        f.dir.writeSettings(f.exportPath, kCommand);
        QVERIFY(f.creaFile().isEmpty());
        QCOMPARE(f.list()->lineCount(), 57);
        QVERIFY(f.dir.databasesUntouched());
    }

    void inviaThatCannotWriteSendsNothing_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("file aside is a folder") << "aside";
        QTest::newRow("export path on a full disk") << "/dev/full";
        QTest::newRow("export path is a folder") << "folder";
    }

    void inviaThatCannotWriteSendsNothing()
    {
        QFETCH(QString, failure);
        Front f;
        QVERIFY(f.active());
        QVERIFY(f.creaFile().isEmpty());
        QCOMPARE(f.list()->lineCount(), 57);
        QString named = failure;
        if (failure == QLatin1String("aside")) {
            QVERIFY(QDir().mkdir(exporter::stagingPath(f.exportPath)));
            named = f.exportPath;
        } else if (failure == QLatin1String("folder")) {
            QVERIFY(QFile::remove(f.exportPath));
            QVERIFY(QDir().mkdir(f.exportPath));
            named = f.exportPath;
        } else {
            f.dir.writeSettings(failure, kCommand);
        }
        const QList<test::DialogSeen> seen = f.press(f.window->inviaButton());
        QCOMPARE(seen.size(), 1);
        QVERIFY2(seen.at(0).text.contains(named), qPrintable(seen.at(0).text));
        // Nothing went out, and the window is still there for another try.
        QVERIFY(f.starter.started.isEmpty());
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.list()->lineCount(), 57);
        QVERIFY(f.dir.databasesUntouched());
    }

    void hostileRoomsTypedInTheFields()
    {
        Front f;
        QVERIFY(f.active());
        QLineEdit* first = f.field(2);
        QLineEdit* last = f.field(3);
        first->clear();
        last->clear();
        // "2'%*" sorts before room 201 and "2?#[" after 212.
        QTest::keyClicks(first, QStringLiteral("2'%*"));
        QTest::keyClicks(last, QStringLiteral("2?#["));
        QCOMPARE(first->text(), QStringLiteral("2'%*"));
        QCOMPARE(last->text(), QStringLiteral("2?#["));
        QVERIFY(f.creaFile().isEmpty());
        QCOMPARE(f.listed(), test::referenceLines(QStringLiteral("wide-range-rooms-200-to-299.out")));

        // Ten characters of quotes and brackets: no room, no error.
        first->setText(QStringLiteral("''''[[]]\"\""));
        last->setText(QStringLiteral("'\u0141\u674E%#?*[]"));
        QVERIFY(f.creaFile().isEmpty());
        QCOMPARE(f.listed(), QStringList{exporter::kHeaderLine});
        QVERIFY(f.dir.databasesUntouched());
    }

    void hostileDatesTypedWithoutEnter()
    {
        Front f;
        QVERIFY(f.active());
        // Stored as "2'000'0'": just before every date of the 2000s.
        QVERIFY(f.creaFile(QStringLiteral("0'/0'/2'00"), QStringLiteral("30/04/2024")).isEmpty());
        QCOMPARE(f.listed(), test::referenceLines(QStringLiteral("wide-range.out")));
        // From "?#[]%*\u674E\t" to "!!!%*\u674E\t": an empty range.
        QVERIFY(f.creaFile(QStringLiteral("\u674E\t'%*?#[]"), QStringLiteral("\u674E\t'%*!!!!")).isEmpty());
        QCOMPARE(f.listed(), QStringList{exporter::kHeaderLine});
        QVERIFY(f.dir.databasesUntouched());
    }
};

QTEST_MAIN(TestRobustWindow)
#include "test_robust_window.moc"
