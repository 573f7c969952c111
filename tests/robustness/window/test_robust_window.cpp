// SPDX-License-Identifier: GPL-3.0-or-later
// The main window over damaged databases, failing files and hostile typed
// values: every failure is one message dialog naming the file, the list is
// left alone, nothing is started, and the window takes the next try.
#include <QDir>
#include <QSettings>
#include <QtTest>

// File-size limits, umasks, modes and symbolic links are POSIX's: the two
// cases on them are skipped on Windows, whose means the platform tests cover.
#ifndef Q_OS_WIN
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include "export/ExportRun.h"
#include "export/PresenceRecord.h"
#include "export/PrivateFiles.h"
#include "FrontOffice.h"
#include "RobustSupport.h"
#include "ui/main/ErrorMessage.h"
#include "ui/main/FrontOfficeFolder.h"
#include "ui/main/UserSettings.h"
#include "ui/main/WindowProcess.h"

using namespace ostelvia;
using test::Front;
using test::kCommand;

namespace {

#ifndef Q_OS_WIN
unsigned modeOf(const QString& path)
{
    struct stat info { };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0xFFFF;
}

// A lower limit on the size of the files this process writes, for as long
// as the object lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &before_);
        const rlimit lower{bytes, before_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &before_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit before_{};
};
#endif

}  // namespace

class TestRobustWindow : public QObject {
    Q_OBJECT

private slots:
    // The windows remember their sizes: in a scratch folder, not the user's.
    void initTestCase() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, userSettings_.path()); }

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

    // Under "ulimit -f" the window's process, set up as the program sets it
    // up, reports the write that went over instead of being ended by the
    // system, and leaves neither a piece of the file nor its file aside.
    void fileSizeLimitIsAFailedWrite()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows has no limit on the size of a process's files");
#else
        ui::prepareWindowProcess();
        Front f;
        QVERIFY(f.active());
        test::writeBytes(f.exportPath, "previous send");
        QList<test::DialogSeen> seen;
        {
            const FileSizeLimit limit(1000);
            seen = f.creaFile();
        }
        QCOMPARE(seen.size(), 1);
        QVERIFY2(seen.at(0).text.contains(QStringLiteral("supera la dimensione massima")), qPrintable(seen.at(0).text));
        QVERIFY2(seen.at(0).text.contains(f.exportPath), qPrintable(seen.at(0).text));
        QCOMPARE(test::readBytes(f.exportPath), QByteArray("previous send"));
        QVERIFY(!QFileInfo::exists(exporter::stagingPath(f.exportPath)));
        QCOMPARE(f.list()->lineCount(), 0);
        QVERIFY(f.window->isVisible());
#endif
    }

    // The settings file says whose guests the tool handles: its folders,
    // made under umask 000, are the user's only, and a link put in the
    // file's place is neither written through nor read.
    void settingsFileIsPrivateAndNeverReachedThroughALink()
    {
#ifdef Q_OS_WIN
        QSKIP("umasks, modes and symbolic links are POSIX's");
#else
        QTemporaryDir home;
        const QString config = home.filePath(QStringLiteral("config"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
        const mode_t umaskBefore = ::umask(0);
        const QString stored = ui::storeUserSetting(ui::kChiaveCartella, QStringLiteral("/srv/ostelvia"));
        ::umask(umaskBefore);
        QCOMPARE(stored, QString());
        const QString file = ui::userSettingsPath();
        QCOMPARE(file, config + QStringLiteral("/Ostelvia/Ostelvia.conf"));
        QCOMPARE(modeOf(config), 0700u);
        QCOMPARE(modeOf(QFileInfo(file).path()), 0700u);
        QCOMPARE(modeOf(file), 0600u);
        QCOMPARE(ui::rememberedFolder(), QStringLiteral("/srv/ostelvia"));
        // Another key keeps the first.
        QCOMPARE(ui::storeUserSetting(QStringLiteral("Finestre/prova"), QSize(800, 600)), QString());
        QCOMPARE(ui::userSetting(QStringLiteral("Finestre/prova")).toSize(), QSize(800, 600));
        QCOMPARE(ui::rememberedFolder(), QStringLiteral("/srv/ostelvia"));

        const QString victim = home.filePath(QStringLiteral("victim"));
        test::writeBytes(victim, "[General]\nCartellaRicevimento=/altrove\n");
        QVERIFY(QFile::remove(file));
        QVERIFY(QFile::link(victim, file));
        const QString refused = ui::storeUserSetting(ui::kChiaveCartella, QStringLiteral("/srv/altra"));
        QVERIFY2(refused.contains(QStringLiteral("collegamento simbolico")), qPrintable(refused));
        QCOMPARE(test::readBytes(victim), QByteArray("[General]\nCartellaRicevimento=/altrove\n"));
        QVERIFY(QFileInfo(file).isSymLink());
        QCOMPARE(ui::rememberedFolder(), QString());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, userSettings_.path());
#endif
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

private:
    QTemporaryDir userSettings_;
};

QTEST_MAIN(TestRobustWindow)
#include "test_robust_window.moc"
