// SPDX-License-Identifier: GPL-3.0-or-later
// The two settings of "TaxSetup.txt": line 1 the export path, line 2 the
// command "&Invia" starts. The export path is re-read from the file by every
// user of it; the command lives in memory from load to the next menu change.
#pragma once

#include <QString>

namespace ostelvia::ui {

extern QString PercorsoFile;
extern QString ComandoPaginaWeb;

// The values written when "TaxSetup.txt" is missing: the Windows paths on
// Windows, elsewhere the user's home directory and the desktop's opener.
QString defaultExportPath();
QString defaultWebPageCommand();

inline const QString kRichiestaPercorso =
    QStringLiteral("Inserire il percorso completo del\r\nnome del file da generare\r\n\r\nes. C:\\ZaverUdevu.txt");
inline const QString kTitoloPercorso = QStringLiteral("Percorso creazione Tassa");
inline const QString kRichiestaComando =
    QStringLiteral("Inserire il comando completo per\r\nl'apertura della pagina web\r\n\r\n"
                   "es. C:\\Programmi\\Internet Explorer\\iexplore.exe https://...");
inline const QString kTitoloComando = QStringLiteral("Percorso apertura pagina web");

// Loads both settings from "TaxSetup.txt" in the current directory. A missing
// file, or one without a single line, is (re)written with the defaults.
// Throws exporter::FileError when the file cannot be read or written; the
// defaults are then held in memory.
void CaricaImpostazioni();

// Rewrites "TaxSetup.txt" with the two settings, each ended by CR LF.
// Throws exporter::FileError.
void writeSettingsFile();

// The "Impostazioni" menu, element 1 (export path) or 2 (command): asks for
// the new value in the input dialog, then rewrites the file whatever the
// index. "Annulla" keeps the current value. Throws exporter::FileError.
void MenuImpostazioni(int indice);

}  // namespace ostelvia::ui
