// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace ostelvia::exporter {

inline const QString kFileListaPS = QStringLiteral("ListaPS.txt");

// Writes "ListaPS.txt" in the current directory: every state and municipality
// name of "PSWebAll.mdb" (ID > 0) that the hotel's code table in "Comuni.mdb"
// (hotel 1: states, provinces, municipalities) lacks, states first, one per
// line. Returns the number of names written. Raises db::DbError or FileError.
int ScriviListaPS();

}  // namespace ostelvia::exporter
