#pragma once

#include <QString>

namespace ostelvia::db {
class Recordset;
}

namespace ostelvia::checks {

// Checks the current card of a guest record set against the code tables of
// "Comuni.mdb" and "CodiciVari.mdb". Returns the findings text: empty for a
// good card, otherwise one "label(value) NAME" CR LF line per problem.
// Database failures raise db::DbError.
QString ControllaScheda(const db::Recordset& scheda);

}  // namespace ostelvia::checks
