// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/Settings.h"

#include <QDir>
#include <QStringList>

#include "export/TextFiles.h"
#include "platform/Platform.h"
#include "ui/dialogs/InputBoxForm.h"

namespace ostelvia::ui {

QString PercorsoFile;
QString ComandoPaginaWeb;

using exporter::kCrLf;
using exporter::kFileImpostazioni;

QString defaultExportPath()
{
    return platform::defaultExportPath();
}

QString defaultWebPageCommand()
{
    return platform::defaultSendCommand();
}

void writeSettingsFile()
{
    exporter::writeText(kFileImpostazioni, PercorsoFile + kCrLf + ComandoPaginaWeb + kCrLf);
}

void CaricaImpostazioni()
{
    QStringList righe;
    if (exporter::fileExists(kFileImpostazioni)) {
        try {
            righe = exporter::readSettingsLines();
        } catch (const Error&) {
            // Something to send with even when the file is unusable.
            PercorsoFile = defaultExportPath();
            ComandoPaginaWeb = defaultWebPageCommand();
            throw;
        }
    }
    if (!righe.isEmpty()) {
        PercorsoFile = righe.at(0);
        ComandoPaginaWeb = righe.size() > 1 ? righe.at(1) : QString();
        return;
    }
    // Missing, or present without a line: an empty export path would break
    // every later run, so the defaults are written as for a first start.
    PercorsoFile = defaultExportPath();
    ComandoPaginaWeb = defaultWebPageCommand();
    writeSettingsFile();
}

void MenuImpostazioni(int indice)
{
    bool annullato = false;
    if (indice == 1) {
        const QString risposta = ChiediTesto(kRichiestaPercorso, kTitoloPercorso, PercorsoFile, &annullato);
        if (!annullato)
            PercorsoFile = risposta;
    } else if (indice == 2) {
        const QString risposta = ChiediTesto(kRichiestaComando, kTitoloComando, ComandoPaginaWeb, &annullato);
        if (!annullato)
            ComandoPaginaWeb = risposta;
    }
    writeSettingsFile();
}

}  // namespace ostelvia::ui
