// SPDX-License-Identifier: GPL-3.0-or-later
// The front-office program's folder: every relative name the tool reads or
// writes ("TaxSetup.txt", "ListaPS.txt", the send archive, the databases) is
// resolved in the current directory, so working in a folder means entering it.
#pragma once

#include <QString>

namespace ostelvia::exporter {

inline const QString kFileSchedeClienti = QStringLiteral("Scheda_Cliente.mdb");

// Makes the folder the current directory. Returns "" on success, else a plain
// Italian sentence naming the folder (missing, not a folder, not readable).
QString enterFrontOfficeDir(const QString& folder);

// True when the folder holds the current guest database, in any letter case.
bool holdsGuestDatabase(const QString& folder);

}  // namespace ostelvia::exporter
