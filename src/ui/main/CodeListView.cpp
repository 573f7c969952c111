// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/CodeListView.h"

#include "export/CodeList.h"
#include "export/TextFiles.h"
#include "platform/Platform.h"
#include "ui/main/ErrorMessage.h"
#include "ui/main/ProcessStarter.h"

namespace ostelvia::ui {

QString listViewerCommand()
{
    // The name as written on disk: another letter case may already be there.
    return platform::textViewerCommand(exporter::localPath(exporter::kFileListaPS));
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
