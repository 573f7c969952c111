// Translation of place and state names into the 9-digit codes of table
// CodiciVari in "Comuni.mdb". Each returns the CodicePS of the first matching
// row, or nine blanks when none matches (a row whose CodicePS is Null counts
// as no match). Database failures raise db::DbError.
#pragma once

#include <QString>

namespace ostelvia::exporter {

inline const QString kNoCode = QStringLiteral("         ");

// Municipality (Tipo 3) by trimmed name.
QString CodiceComune(const QString& nome);
// State (Tipo 0) by name, as passed.
QString CodiceStato(const QString& nome);
// State (Tipo 0) by abbreviation, as passed.
QString CodiceStatoDaSigla(const QString& sigla);

}  // namespace ostelvia::exporter
