// SPDX-License-Identifier: GPL-3.0-or-later
// Where the window works: the folder it starts in (the current one, the
// remembered one, or one chosen once) and the "Impostazioni" entry that
// changes it. A recording chooser stands in for the folder dialog, and the
// user's settings live in a scratch folder.
#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QtTest>

#include "export/TextFiles.h"
#include "FrontOffice.h"
#include "ui/main/FrontOfficeFolder.h"
#include "ui/main/Settings.h"
#include "ui/main/UserSettings.h"

using namespace ostelvia;
using Kind = ui::FolderOutcome::Kind;

namespace {

const QString kGone = QStringLiteral("/nonexistent/ricevimento");

// Answers `answer` the first time, then each of `later` in turn, then
// cancels: a refused folder is asked for again.
struct RecordingChooser {
    RecordingChooser()
    {
        ui::folderChooser() = [this](QWidget*, const QString& titolo, const QString& partenza) {
            titles.append(titolo);
            starts.append(partenza);
            if (starts.size() == 1)
                return answer;
            return later.isEmpty() ? QString() : later.takeFirst();
        };
    }
    QString answer;
    QStringList later;
    QStringList titles;
    QStringList starts;
};

QString canonical(const QString& path)
{
    const QString found = QFileInfo(path).canonicalFilePath();
    return found.isEmpty() ? path : found;
}

QString current()
{
    return canonical(QDir::currentPath());
}

QString remembered()
{
    return canonical(ui::rememberedFolder());
}

void remember(const QString& folder)
{
    // As the tool stores it (a file of its own also where Qt's default is
    // the registry).
    const QString problem = ui::storeUserSetting(ui::kChiaveCartella, folder.isEmpty() ? QVariant() : folder);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

QAction* folderEntry(const ui::OstelviaDT& window)
{
    return window.findChild<QAction*>(QStringLiteral("menuCartella"));
}

}  // namespace

class TestFrontOfficeFolder : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, userSettings_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, userSettings_.path());
        startDir_ = QDir::currentPath();
    }

    void init() { remember({}); }

    void cleanup() { QDir::setCurrent(startDir_); }

    void startFolder_data()
    {
        // Folders by name: "front" holds the fixture databases, "capitals"
        // the guest database named in capitals, "empty" nothing, "gone" does
        // not exist, "home" is the user's home.
        QTest::addColumn<QString>("startedIn");
        QTest::addColumn<QString>("rememberedBefore");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("come");
        QTest::addColumn<QString>("worksIn");
        QTest::addColumn<QString>("rememberedAfter");
        QTest::addColumn<QString>("chooserStart");  // "" when nothing is asked

        const int attuale = int(Kind::Current), ricordata = int(Kind::Remembered), scelta = int(Kind::Chosen),
                  annullata = int(Kind::Cancelled), fallita = int(Kind::Failed);
        QTest::newRow("started inside the databases: asks nothing") << "front"
                                                                    << "empty"
                                                                    << "" << attuale << "front"
                                                                    << "empty"
                                                                    << "";
        QTest::newRow("remembered folder") << "empty"
                                           << "front"
                                           << "" << ricordata << "front"
                                           << "front"
                                           << "";
        QTest::newRow("remembered folder, database name in capitals") << "empty"
                                                                      << "capitals"
                                                                      << "" << ricordata << "capitals"
                                                                      << "capitals"
                                                                      << "";
        QTest::newRow("nothing remembered: asks from home, remembers the answer") << "empty"
                                                                                  << ""
                                                                                  << "front" << scelta << "front"
                                                                                  << "front"
                                                                                  << "home";
        QTest::newRow("remembered folder without the databases: asks from it") << "empty"
                                                                               << "empty"
                                                                               << "capitals" << scelta << "capitals"
                                                                               << "capitals"
                                                                               << "empty";
        QTest::newRow("remembered folder gone: asks from home") << "empty"
                                                                << "gone"
                                                                << "front" << scelta << "front"
                                                                << "front"
                                                                << "home";
        QTest::newRow("chooser cancelled: nothing changes") << "empty"
                                                            << "empty"
                                                            << "" << annullata << "empty"
                                                            << "empty"
                                                            << "empty";
        // Refused before it is entered; the chooser, asked again, is cancelled.
        QTest::newRow("chosen folder gone: nothing changes") << "empty"
                                                             << ""
                                                             << "gone" << annullata << "empty"
                                                             << ""
                                                             << "home";
        QTest::newRow("chosen folder without the databases: refused") << "empty"
                                                                      << ""
                                                                      << "empty" << annullata << "empty"
                                                                      << ""
                                                                      << "home";
        Q_UNUSED(fallita);
    }

    void startFolder()
    {
        QFETCH(QString, startedIn);
        QFETCH(QString, rememberedBefore);
        QFETCH(QString, answer);
        QFETCH(int, come);
        QFETCH(QString, worksIn);
        QFETCH(QString, rememberedAfter);
        QFETCH(QString, chooserStart);

        test::ScratchDir front;
        QTemporaryDir capitals;
        QTemporaryDir empty;
        QVERIFY(QFile::copy(front.filePath(QStringLiteral("Scheda_Cliente.mdb")),
                            capitals.filePath(QStringLiteral("SCHEDA_CLIENTE.MDB"))));
        const QMap<QString, QString> folder{
            {"front", canonical(front.path())}, {"capitals", canonical(capitals.path())},
            {"empty", canonical(empty.path())}, {"gone", kGone},
            {"home", QDir::homePath()},         {"", ""}};
        QDir::setCurrent(folder[startedIn]);
        remember(folder[rememberedBefore]);
        RecordingChooser chooser;
        chooser.answer = folder[answer];

        test::DialogAnswer ok(QStringLiteral("T0"));
        const ui::FolderOutcome esito = ui::enterStartFolder();

        QCOMPARE(int(esito.kind), come);
        QCOMPARE(current(), folder[worksIn]);
        QCOMPARE(remembered(), folder[rememberedAfter]);
        QCOMPARE(chooser.starts.value(0), chooserStart.isEmpty() ? QString() : folder[chooserStart]);
        for (const QString& title : chooser.titles)
            QCOMPARE(title, QStringLiteral("Scegli la cartella del programma di ricevimento"));
        // A chosen folder without the guest database is refused with a
        // message and asked for again, from where the clerk was.
        const bool refused = !folder[answer].isEmpty() && !QFile::exists(folder[answer] + "/Scheda_Cliente.mdb")
            && !QFile::exists(folder[answer] + "/SCHEDA_CLIENTE.MDB");
        QCOMPARE(ok.seen().size(), refused ? 1 : 0);
        if (refused) {
            QVERIFY(ok.seen().first().text.contains(QStringLiteral("non contiene Scheda_Cliente.mdb")));
            QCOMPARE(chooser.starts, (QStringList{folder[chooserStart], folder[answer]}));
        }
        QVERIFY(!QFile::exists(QDir(folder["empty"]).filePath(exporter::kFileImpostazioni)));
    }

    void aFolderWithoutTheDatabasesIsRefusedUntilTheRightOneIsChosen()
    {
        test::Front f;
        QVERIFY(f.active());
        f.setDates(QStringLiteral("01/06/2024"), QStringLiteral("16/07/2024"));
        QTemporaryDir empty;
        test::ScratchDir other;
        QDir::setCurrent(f.dir.path());  // a scratch folder enters itself
        RecordingChooser chooser;
        chooser.answer = empty.path();
        chooser.later = QStringList{other.path()};

        test::DialogAnswer ok(QStringLiteral("T0"));
        folderEntry(*f.window)->trigger();

        QCOMPARE(ok.seen().size(), 1);
        QVERIFY(ok.seen().first().text.contains(QDir::toNativeSeparators(empty.path())));
        QCOMPARE(chooser.starts.size(), 2);
        QCOMPARE(canonical(chooser.starts.at(1)), canonical(empty.path()));
        QCOMPARE(current(), canonical(other.path()));
        QCOMPARE(remembered(), canonical(other.path()));
        // Nothing was written into the refused folder, and the chooser (with
        // its refusal) left the clerk's range alone.
        QVERIFY(QDir(empty.path()).isEmpty());
        QCOMPARE(f.field(0)->text(), QStringLiteral("01/06/2024"));
        QCOMPARE(f.field(1)->text(), QStringLiteral("16/07/2024"));
    }

    void windowLoadsTheChosenFolderSettings()
    {
        test::ScratchDir front;
        front.writeSettings(QStringLiteral("/srv/tassa/ZaverUdevu.txt"), QStringLiteral("true"));
        QTemporaryDir elsewhere;
        QDir::setCurrent(elsewhere.path());
        RecordingChooser chooser;
        chooser.answer = front.path();

        QCOMPARE(ui::enterStartFolder().kind, Kind::Chosen);
        test::RecordingStarter starter;
        ui::OstelviaDT window(&starter, [] { return QDate(2024, 5, 10); });
        QCOMPARE(ui::PercorsoFile, QStringLiteral("/srv/tassa/ZaverUdevu.txt"));
        QVERIFY(!QFile::exists(QDir(elsewhere.path()).filePath(exporter::kFileImpostazioni)));
    }

    void menuEntryChangesTheFolder()
    {
        test::Front f;
        QVERIFY(f.active());
        f.creaFile();
        QVERIFY(f.list()->lineCount() > 0);
        test::ScratchDir other;
        QDir::setCurrent(f.dir.path());  // a scratch folder enters itself
        test::writeBytes(QDir(other.path()).filePath(exporter::kFileImpostazioni),
                         "/srv/altro/ZaverUdevu.txt\r\nbrowser\r\n");
        RecordingChooser chooser;
        chooser.answer = other.path();

        QAction* entry = folderEntry(*f.window);
        QVERIFY(entry);
        const auto* menu = f.window->findChild<QMenu*>(QStringLiteral("menu1"));
        QVERIFY(menu && menu->actions().contains(entry));
        QCOMPARE(entry->text(), QStringLiteral("Cartella del programma di ricevimento…"));
        entry->trigger();

        QCOMPARE(chooser.starts, QStringList{canonical(f.dir.path())});
        QCOMPARE(current(), canonical(other.path()));
        QCOMPARE(remembered(), canonical(other.path()));
        // The settings are the new folder's; the lines listed were the old one's.
        QCOMPARE(ui::PercorsoFile, QStringLiteral("/srv/altro/ZaverUdevu.txt"));
        QCOMPARE(ui::ComandoPaginaWeb, QStringLiteral("browser"));
        QCOMPARE(f.list()->lineCount(), 0);
    }

    void menuEntryCancelledOrFailedChangesNothing_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("message");
        QTest::newRow("cancelled") << ""
                                   << "";
        QTest::newRow("folder gone") << kGone << "non contiene";
    }

    void menuEntryCancelledOrFailedChangesNothing()
    {
        QFETCH(QString, answer);
        QFETCH(QString, message);
        test::Front f;
        QVERIFY(f.active());
        f.creaFile();
        const int listed = f.list()->lineCount();
        remember(f.dir.path());
        RecordingChooser chooser;
        chooser.answer = answer;

        test::DialogAnswer ok(QStringLiteral("T0"));
        folderEntry(*f.window)->trigger();

        QCOMPARE(ok.seen().size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY(ok.seen().first().text.contains(message));
        QCOMPARE(current(), canonical(f.dir.path()));
        QCOMPARE(remembered(), canonical(f.dir.path()));
        QCOMPARE(ui::PercorsoFile, f.exportPath);
        QCOMPARE(f.list()->lineCount(), listed);
    }

private:
    QTemporaryDir userSettings_;
    QString startDir_;
};

QTEST_MAIN(TestFrontOfficeFolder)
#include "test_front_office_folder.moc"
