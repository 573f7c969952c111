// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace ostelvia::db {
class Recordset;
class Run;
}  // namespace ostelvia::db

namespace ostelvia::checks {

// Checks the current card of a guest record set against the code tables of
// "Comuni.mdb" and "CodiciVari.mdb", as the run reads them. Returns the
// findings text: empty for a good card, otherwise one "label(value) NAME"
// CR LF line per problem. Database failures raise db::DbError.
QString ControllaScheda(db::Run& run, const db::Recordset& scheda);
// The files the checks of a card read, for a command's view of the files.
QStringList checkedFiles();

// The code-table lookup a finding reports, if any.
enum class FailedLookup {
    None,
    StateCode,         // Sigla among the states
    StateName,         // Descrizione among the states
    ProvinceCode,      // Sigla among the provinces
    MunicipalityName,  // Descrizione among the municipalities
    DocumentTypeCode,  // Sigla among the document types
    PlaceOfIssue,      // Descrizione among the states and municipalities
};

inline bool isCodeLookup(FailedLookup lookup)
{
    return lookup == FailedLookup::StateCode || lookup == FailedLookup::ProvinceCode
        || lookup == FailedLookup::DocumentTypeCode;
}

// The rows a lookup searches: a database file, the SQL text of its record
// set, and that text's condition alone.
struct CodeSet {
    QString file;
    QString sql;
    QString condition;
};
CodeSet searchedSet(FailedLookup lookup);

// One line of the findings text, without its CR LF, with the value it shows
// as looked up and the lookup that failed.
struct Finding {
    QString line;
    QString lookedUp;
    FailedLookup lookup = FailedLookup::None;
};

// The findings of ControllaScheda one by one, in the same order.
std::vector<Finding> cardFindings(db::Run& run, const db::Recordset& scheda);

// yyyymmdd rebuilt as dd/mm/yyyy by character position, as the findings
// show dates; missing pieces are empty (an empty text gives "//").
QString storedToTyped(const QString& stored);

}  // namespace ostelvia::checks
