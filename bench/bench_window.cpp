// SPDX-License-Identifier: GPL-3.0-or-later
// The clerk's path through the window, timed from outside by scripts/bench:
// in a front-office folder (the current directory, holding the databases and
// TaxSetup.txt), the two dates typed, "&Crea File", the list filled and
// selected, "&Invia", and the window closing. Exits non-zero when the list
// does not hold what the export wrote, when the sent file is not that, or
// when a dialog asks anything. The archive copy of the send is removed again,
// so that the next run starts from the same folder.
//
// Usage: ostelvia_window_bench [--timing-only] [FROM TO]
//   (dates dd/mm/yyyy; 2022-2023 by default). With --timing-only the export
//   file is not read back to compare it with the list and the sent file:
//   reading and hashing 51 MB twice is no part of the clerk's path, and
//   scripts/bench makes one checked run before the timed ones.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "export/SendArchive.h"
#include "export/TextFiles.h"
#include "ui/main/LinesView.h"
#include "ui/main/MainWindow.h"

namespace {

using ostelvia::ui::OstelviaDT;

int failures = 0;

void fail(const QString& why)
{
    std::fprintf(stderr, "ostelvia_window_bench: %s\n", qPrintable(why));
    ++failures;
}

// The export file as a digest and a line count, read in pieces: holding a
// copy of it here would add to the peak memory measured.
struct FileSeen {
    size_t digest = 0;
    int lines = 0;
    bool operator==(const FileSeen&) const = default;
};

FileSeen exportFileSeen()
{
    QFile file(ostelvia::exporter::localPath(ostelvia::exporter::readExportPath()));
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("the export file cannot be read: %1").arg(file.fileName()));
        return {};
    }
    FileSeen seen;
    bool endsWithNewLine = true;
    while (!file.atEnd()) {
        const QByteArray piece = file.read(1 << 20);
        seen.digest = qHash(piece, seen.digest);  // chained: fast enough not to weigh in the run
        seen.lines += static_cast<int>(piece.count('\n'));
        endsWithNewLine = piece.endsWith('\n');
    }
    if (file.size() > 0 && !endsWithNewLine)
        ++seen.lines;
    return seen;
}

// Any dialog is a question nobody answers here, and some of the tool's own
// cannot be closed from outside: the run ends there, with what it asked.
void stopOnDialog()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    QStringList texts{modal->windowTitle()};
    for (const QLabel* label : modal->findChildren<QLabel*>())
        texts.append(label->text());
    fail(QStringLiteral("a dialog was shown: %1").arg(texts.join(QStringLiteral(" | "))));
    std::fflush(stderr);
    std::_Exit(1);
}

QStringList archiveFiles()
{
    return QDir(ostelvia::exporter::kArchiveFolder).entryList(QDir::Files, QDir::Name);
}

// Leaves the archive as it was before the run.
void removeArchiveCopy(const QStringList& before, bool folderExisted)
{
    QDir archive(ostelvia::exporter::kArchiveFolder);
    for (const QString& name : archiveFiles()) {
        if (!before.contains(name))
            archive.remove(name);
    }
    if (!folderExisted)
        QDir().rmdir(ostelvia::exporter::kArchiveFolder);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    const bool timingOnly = args.size() > 1 && args.at(1) == QLatin1String("--timing-only");
    if (timingOnly)
        args.removeAt(1);
    const QString from = args.size() > 2 ? args.at(1) : QStringLiteral("01/01/2022");
    const QString to = args.size() > 2 ? args.at(2) : QStringLiteral("31/12/2023");
    const bool archiveExisted = QDir(ostelvia::exporter::kArchiveFolder).exists();
    const QStringList archivedBefore = archiveFiles();

    QElapsedTimer clock;
    clock.start();
    qint64 creaStart = 0;
    qint64 creaEnd = 0;
    qint64 inviaStart = 0;
    qint64 inviaEnd = 0;
    int listed = 0;
    FileSeen exported;

    OstelviaDT window;
    window.show();
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, &stopOnDialog);
    watchdog.start(100);

    // After the window's own start-up (its preset dates) has run.
    QTimer::singleShot(0, &window, [&] {
        window.dataDaField()->setText(from);
        window.dataAField()->setText(to);
        creaStart = clock.elapsed();
        window.creaFileButton()->click();
        creaEnd = clock.elapsed();
        const ostelvia::ui::LinesView* list = window.linesList();
        listed = list->lineCount();
        if (!timingOnly)
            exported = exportFileSeen();
        if (listed == 0 || (!timingOnly && listed != exported.lines))
            fail(QStringLiteral("%1 lines listed, %2 written by the export").arg(listed).arg(exported.lines));
        else if (const qsizetype selected = list->selectedRows().size(); selected != listed)
            fail(QStringLiteral("%1 of %2 lines selected").arg(selected).arg(listed));
        // The list painted before the clerk can press "&Invia".
        QTimer::singleShot(0, &window, [&] {
            inviaStart = clock.elapsed();
            window.inviaButton()->click();
            inviaEnd = clock.elapsed();
            if (window.isVisible()) {
                fail(QStringLiteral("the window stayed open after \"&Invia\""));
                window.close();
            }
        });
    });
    app.exec();
    const qint64 closed = clock.elapsed();

    // Every line was selected: what goes out is what the export wrote.
    if (!timingOnly && exportFileSeen() != exported)
        fail(QStringLiteral("the sent file is not the %1 lines listed").arg(listed));
    if (archiveFiles().size() != archivedBefore.size() + 1)
        fail(QStringLiteral("no archive copy of the send"));
    removeArchiveCopy(archivedBefore, archiveExisted);
    std::printf(
        "lines %d  window shown %lld ms  crea file %lld ms  list painted %lld ms  invia %lld ms  closed %lld ms\n",
        listed, static_cast<long long>(creaStart), static_cast<long long>(creaEnd - creaStart),
        static_cast<long long>(inviaStart - creaEnd), static_cast<long long>(inviaEnd - inviaStart),
        static_cast<long long>(closed - inviaEnd));
    return failures == 0 ? 0 : 1;
}
