// SPDX-License-Identifier: GPL-3.0-or-later
// ostelvia: the reception tool's window. Works in the front-office program's
// folder: the one given as argument, else the current directory when it holds
// the databases, else the folder remembered in the user's settings (asked for
// once with a folder chooser).
#include <QApplication>

#include <clocale>
#include <cstdio>
#include <cstring>

#include "export/FrontOfficeDir.h"
#include "ui/main/ErrorMessage.h"
#include "ui/main/FrontOfficeFolder.h"
#include "ui/main/MainWindow.h"
#include "ui/main/QtTranslations.h"
#include "ui/main/WindowProcess.h"

namespace {

constexpr int kExitFailure = 2;

const char* const kUsage = "Uso: ostelvia [CARTELLA]\n"
                           "\n"
                           "Apre la finestra per il file dell'Imposta di Soggiorno, nella cartella del\n"
                           "programma di ricevimento: CARTELLA se data, altrimenti la cartella corrente se\n"
                           "contiene Scheda_Cliente.mdb, altrimenti quella scelta la prima volta.\n"
                           "  --help     mostra questo aiuto\n"
                           "  --version  mostra la versione\n";

// Shown on standard error and, once the toolkit is up, in the message dialog.
int failWith(const QString& messaggio)
{
    std::fprintf(stderr, "ostelvia: %s\n", messaggio.toLocal8Bit().constData());
    ostelvia::ui::showError(messaggio);
    return kExitFailure;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Options first: they need no display.
    const char* cartella = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("ostelvia %s\n", OSTELVIA_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argv[i][0] == '-' || cartella) {
            std::fprintf(stderr, "ostelvia: argomento non previsto: %s\n%s", argv[i], kUsage);
            return kExitFailure;
        }
        cartella = argv[i];
    }

    QApplication app(argc, argv);
    ostelvia::ui::prepareWindowProcess();
    // Qt sets the locale from the environment; numbers read from the
    // databases and written to the export file use a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    ostelvia::ui::loadQtItalian(app);

    using ostelvia::ui::FolderOutcome;
    if (cartella) {
        const QString problema = ostelvia::exporter::enterFrontOfficeDir(QString::fromLocal8Bit(cartella));
        if (!problema.isEmpty())
            return failWith(problema);
    } else {
        const FolderOutcome esito = ostelvia::ui::enterStartFolder();
        if (esito.kind == FolderOutcome::Kind::Cancelled) {
            ostelvia::ui::showError(ostelvia::ui::kNessunaCartella.arg(ostelvia::exporter::kFileSchedeClienti));
            return 0;
        }
        if (esito.kind == FolderOutcome::Kind::Failed)
            return failWith(esito.error);
    }

    ostelvia::ui::OstelviaDT finestra;
    finestra.show();
    finestra.activateWindow();
    return app.exec();
}
