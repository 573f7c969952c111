// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/CodeListView.h"

#include "export/CodeList.h"
#include "export/TextFiles.h"
#include "ui/main/ErrorMessage.h"
#include "ui/main/ProcessStarter.h"

namespace ostelvia::ui {

namespace {

// Double quotes keep a name with blanks one word for the command splitter.
QString quotedForShell(const QString& testo)
{
    QString copia = testo;
    copia.replace(QLatin1Char('"'), QStringLiteral("\"\"\""));
    return QLatin1Char('"') + copia + QLatin1Char('"');
}

}  // namespace

QString listViewerCommand()
{
#ifdef Q_OS_WIN
    return QStringLiteral("notepad ListaPs.txt");
#else
    // The name as written on disk: another letter case may already be there.
    return QStringLiteral("xdg-open ") + quotedForShell(exporter::localPath(exporter::kFileListaPS));
#endif
}

bool CreaListaPS(ProcessStarter& avvio)
{
    try {
        exporter::ScriviListaPS();
    } catch (const Error& errore) {
        showError(errore.message());
        return false;
    }
    const QString comando = listViewerCommand();
    if (!avvio.startDetached(comando)) {
        showError(QStringLiteral("Impossibile aprire il file \"%1\" con il comando \"%2\".")
                      .arg(exporter::kFileListaPS, comando));
        return false;
    }
    return true;
}

}  // namespace ostelvia::ui
