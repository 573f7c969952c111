// SPDX-License-Identifier: GPL-3.0-or-later
// The guest cards of a date and room range, as the export run selects them:
// current guests of hotel 1 by room and card number, then the history by
// card number, each pass walked with the same find criteria. The export run
// writes what it finds; the check of every card reports on it.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace ostelvia::db {
class Recordset;
class Run;
}  // namespace ostelvia::db

namespace ostelvia::exporter {

// Where the selection reads the room range: the main window's room fields,
// or the headless command's arguments. Read afresh at the start of each pass.
class RoomSource {
public:
    virtual ~RoomSource() = default;
    virtual QString firstRoom() const = 0;
    virtual QString lastRoom() const = 0;
};

inline const QString kSchedeCorrenti = QStringLiteral("Scheda_Cliente.mdb");
inline const QString kSchedeStorico = QStringLiteral("SchedaStoricoClienti.mdb");
// The files the selection reads, for a command's view of the files.
inline const QStringList kGuestFiles = {kSchedeCorrenti, kSchedeStorico};

// Told the guest database of the pass (as opened) and the card the criteria
// found, in the set's order. An exception leaves the walk; the databases are
// released on the way out.
using CardVisitor = std::function<void(const QString& database, const db::Recordset& scheda)>;

// dataDa / dataA: dd/mm/yyyy texts, cut by character position without any
// check. The guest files are read as the run reads them. Database failures
// raise the database layer's error.
void walkSelectedCards(db::Run& run, const QString& dataDa, const QString& dataA, const RoomSource& camere,
                       const CardVisitor& visit);

// Cards with "*" in Lingua, with a Null date, or leaving on the day they
// arrived are selected and validated but not exported.
bool isExported(const db::Recordset& scheda);

// A stored date of the card as the reports show it: dd/mm/yyyy by character
// position ("//" when empty), the empty text when Null.
QString shownCardDate(const db::Recordset& scheda, const QString& field);

}  // namespace ostelvia::exporter
