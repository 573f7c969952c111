// SPDX-License-Identifier: GPL-3.0-or-later
// Translation of place and state names into the 9-digit codes of table
// CodiciVari in "Comuni.mdb". Each returns the CodicePS of the first matching
// row, or nine blanks when none matches (a row whose CodicePS is Null counts
// as no match), asked once per run. Database failures raise db::DbError.
#pragma once

#include <QString>

#include "export/RecordLayout.h"

namespace ostelvia::db {
class Run;
}

namespace ostelvia::exporter {

inline const QString kNoCode = QStringLiteral("         ");
// The file of the code table.
inline const QString kCodeTableFile = QStringLiteral("Comuni.mdb");

// Municipality (Tipo 3) by trimmed name.
QString CodiceComune(db::Run& run, const QString& nome);
// State (Tipo 0) by name, as passed.
QString CodiceStato(db::Run& run, const QString& nome);
// State (Tipo 0) by abbreviation, as passed.
QString CodiceStatoDaSigla(db::Run& run, const QString& sigla);

inline constexpr int kStateType = 0;
inline constexpr int kMunicipalityType = 3;

// The name (Descrizione) of the first row of that Tipo (kStateType or
// kMunicipalityType) whose code, without leading zeros, is the given code's;
// "" when none has it.
QString nameOfCode(db::Run& run, const QString& code, int tipo);

// What a code field of a written record stands for: the name, "codice non
// trovato", "nessun codice" for nine blanks, or why "Comuni.mdb" could not
// tell. A place of issue is looked up as a municipality, then as a state.
QString codeMeaning(db::Run& run, const QString& value, CodeKind kind);

}  // namespace ostelvia::exporter
