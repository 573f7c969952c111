// SPDX-License-Identifier: GPL-3.0-or-later
// The export file's record of one guest card: 38 fields, 776 characters.
#pragma once

#include <QString>
#include <QStringList>

namespace ostelvia::db {
class Recordset;
class Run;
}  // namespace ostelvia::db

namespace ostelvia::exporter {

inline constexpr int kRecordLength = 776;
inline const QString kHeaderLine = QStringLiteral("TBPRES01      ");

struct PresenceRecord {
    QString riga;                 // the 776 characters, when every field has its width
    QString widthErrors;          // one "Tracciato record errato (campo N: text) NAME" CR LF line per misfit
    QStringList widthErrorLines;  // the same lines without their CR LF
    bool ok() const { return widthErrors.isEmpty(); }
};

// Builds the record of the current card of a guest record set. Looks codes
// up in "Comuni.mdb" as the run reads it; db::DbError passes through.
PresenceRecord CostruisciRiga(db::Run& run, const db::Recordset& scheda);

}  // namespace ostelvia::exporter
