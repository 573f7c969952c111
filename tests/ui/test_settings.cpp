// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file "TaxSetup.txt": load, creation with defaults, and the
// rewrite after each "Impostazioni" menu command answered in the real dialog.
#include <QDir>
#include <QtTest>

#include <array>

#include "DialogAnswer.h"
#include "export/TextFiles.h"
#include "TestSupport.h"
#include "ui/main/Settings.h"

using namespace ostelvia;

namespace {

const QString kSetup = QStringLiteral("TaxSetup.txt");

// True when the work fails with a file error, as a clerk's save would.
template <class Work> bool throwsFileError(Work work)
{
    try {
        work();
    } catch (const exporter::FileError&) {
        return true;
    }
    return false;
}

QByteArray setupBytes()
{
    return test::readBytes(kSetup);
}

}  // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ui::PercorsoFile = QStringLiteral("stale path");
        ui::ComandoPaginaWeb = QStringLiteral("stale command");
    }

    void defaultsFollowThePlatform()
    {
#ifdef Q_OS_WIN
        QCOMPARE(ui::defaultExportPath(), QStringLiteral("C:\\ZaverUdevu.txt"));
        QCOMPARE(ui::defaultWebPageCommand(),
                 QStringLiteral("C:\\Programmi\\Internet Explorer\\iexplore.exe https://..."));
#else
        QCOMPARE(ui::defaultExportPath(), QDir::homePath() + QStringLiteral("/ZaverUdevu.txt"));
        QCOMPARE(ui::defaultWebPageCommand(), QStringLiteral("xdg-open https://..."));
#endif
    }

    void missingOrEmptyFileIsCreatedWithDefaults_data()
    {
        QTest::addColumn<bool>("emptyFileFirst");
        QTest::newRow("no file") << false;
        QTest::newRow("file without a line") << true;
    }

    void missingOrEmptyFileIsCreatedWithDefaults()
    {
        QFETCH(bool, emptyFileFirst);
        test::ScratchDir dir;
        if (emptyFileFirst)
            test::writeBytes(dir.filePath(kSetup), QByteArray());
        ui::CaricaImpostazioni();
        QCOMPARE(ui::PercorsoFile, ui::defaultExportPath());
        QCOMPARE(ui::ComandoPaginaWeb, ui::defaultWebPageCommand());
        QCOMPARE(
            setupBytes(),
            (ui::defaultExportPath() + QStringLiteral("\r\n") + ui::defaultWebPageCommand() + QStringLiteral("\r\n"))
                .toLatin1());
    }

    void existingFileIsReadNotRewritten_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("command");
        QTest::newRow("two lines") << QByteArray("D:\\out\\tassa.txt\r\nbrowser https://x\r\n") << "D:\\out\\tassa.txt"
                                   << "browser https://x";
        QTest::newRow("one line: no command") << QByteArray("/tmp/z.txt\r\n") << "/tmp/z.txt"
                                              << "";
        QTest::newRow("one line, no line end") << QByteArray("/tmp/z.txt") << "/tmp/z.txt"
                                               << "";
        QTest::newRow("third line ignored") << QByteArray("a.txt\r\n  cmd  \r\nextra\r\n") << "a.txt"
                                            << "  cmd  ";
        QTest::newRow("first line empty") << QByteArray("\r\ncmd\r\n") << ""
                                          << "cmd";
        // Windows-1252: a grave is byte E0, the euro sign byte 80.
        QTest::newRow("code page") << QByteArray("C:\\Citt\xe0\\f.txt\r\n\x80 x\r\n")
                                   << QString::fromUtf8("C:\\Città\\f.txt") << QString::fromUtf8("€ x");
    }

    void existingFileIsReadNotRewritten()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, path);
        QFETCH(QString, command);
        test::ScratchDir dir;
        test::writeBytes(dir.filePath(kSetup), bytes);
        ui::CaricaImpostazioni();
        QCOMPARE(ui::PercorsoFile, path);
        QCOMPARE(ui::ComandoPaginaWeb, command);
        QCOMPARE(setupBytes(), bytes);
    }

    void unreadableFileIsReportedWithDefaultsInMemory()
    {
        test::ScratchDir dir;
        QVERIFY(QDir(dir.path()).mkdir(kSetup));
        QVERIFY(throwsFileError([] { ui::CaricaImpostazioni(); }));
        QCOMPARE(ui::PercorsoFile, ui::defaultExportPath());
        QCOMPARE(ui::ComandoPaginaWeb, ui::defaultWebPageCommand());
    }

    // Each menu command shows its prompt and title with the current value in
    // the field; "Ok" rewrites the file with the answer as typed, "Annulla"
    // with the old value. The file starts with a third line, which every
    // rewrite drops.
    void menuAnswersRewriteTheFile_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("path, Ok") << 1 << "T0"
                                  << "E:\\nuovo.txt" << QByteArray("E:\\nuovo.txt\r\nold cmd\r\n");
        QTest::newRow("path, Ok with blanks kept") << 1 << "T0"
                                                   << " p.txt " << QByteArray(" p.txt \r\nold cmd\r\n");
        QTest::newRow("path, Annulla keeps it") << 1 << "T1"
                                                << "ignored" << QByteArray("old.txt\r\nold cmd\r\n");
        QTest::newRow("command, Ok") << 2 << "T0"
                                     << "firefox https://a" << QByteArray("old.txt\r\nfirefox https://a\r\n");
        QTest::newRow("command, Ok empty") << 2 << "T0"
                                           << "" << QByteArray("old.txt\r\n\r\n");
        QTest::newRow("command, Annulla keeps it") << 2 << "T1"
                                                   << "" << QByteArray("old.txt\r\nold cmd\r\n");
    }

    void menuAnswersRewriteTheFile()
    {
        QFETCH(int, index);
        QFETCH(QString, button);
        QFETCH(QString, typed);
        QFETCH(QByteArray, expected);
        const std::array<QString, 3> prompts{
            QString(),
            QStringLiteral(
                "Inserire il percorso completo del\r\nnome del file da generare\r\n\r\nes. C:\\ZaverUdevu.txt"),
            QStringLiteral("Inserire il comando completo per\r\nl'apertura della pagina web\r\n\r\n"
                           "es. C:\\Programmi\\Internet Explorer\\iexplore.exe https://...")};
        const std::array<QString, 3> titles{QString(), QStringLiteral("Percorso creazione Tassa"),
                                            QStringLiteral("Percorso apertura pagina web")};
        test::ScratchDir dir;
        test::writeBytes(dir.filePath(kSetup), "old.txt\r\nold cmd\r\nthird\r\n");
        ui::CaricaImpostazioni();
        test::DialogAnswer answer(button, typed);
        ui::MenuImpostazioni(index);
        QCOMPARE(answer.seen().size(), 1);
        QCOMPARE(answer.seen().at(0).kind, QStringLiteral("InputBox_Form"));
        QCOMPARE(answer.seen().at(0).text, prompts.at(index));
        QCOMPARE(answer.seen().at(0).title, titles.at(index));
        QCOMPARE(answer.seen().at(0).entry, index == 1 ? QStringLiteral("old.txt") : QStringLiteral("old cmd"));
        QCOMPARE(setupBytes(), expected);
        // Memory and file agree afterwards.
        const QStringList lines = exporter::readLines(kSetup);
        QCOMPARE(ui::PercorsoFile, lines.at(0));
        QCOMPARE(ui::ComandoPaginaWeb, lines.at(1));
    }

    void oneLineFileGetsTwoOnRewrite()
    {
        test::ScratchDir dir;
        test::writeBytes(dir.filePath(kSetup), "solo.txt\r\n");
        ui::CaricaImpostazioni();
        ui::MenuImpostazioni(3);  // no dialog for an unknown item, just the rewrite
        QCOMPARE(setupBytes(), QByteArray("solo.txt\r\n\r\n"));
    }

    void unwritableFileIsReported()
    {
        test::ScratchDir dir;
        ui::PercorsoFile = QStringLiteral("x.txt");
        ui::ComandoPaginaWeb = QString();
        QVERIFY(QDir(dir.path()).mkdir(kSetup));
        QVERIFY(throwsFileError([] { ui::writeSettingsFile(); }));
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
