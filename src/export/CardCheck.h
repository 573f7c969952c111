// SPDX-License-Identifier: GPL-3.0-or-later
// The check of every card: the export run's selection walked to the end,
// with each card's problems collected instead of stopping at the first, and
// for a failed code-table lookup the names the clerk probably meant. Writes
// no file and needs no settings file.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace ostelvia::db {
class Run;
}

namespace ostelvia::exporter {

class RoomSource;

// One problem line of a card, as the message dialog shows it (without its
// line end), and what the code tables suggest for it.
struct CheckProblem {
    QString text;
    QStringList suggestions;
};

// A card with at least one problem.
struct CheckedCard {
    QString database;    // "Scheda_Cliente.mdb" or "SchedaStoricoClienti.mdb"
    QString room;        // NumeroCamera
    QString cardNumber;  // NumeroProgressivo
    QString guestName;   // NomeCliente, Null as ""
    QString arrival;     // dd/mm/yyyy by character position; "//" when empty, "" when Null
    QString departure;
    std::vector<CheckProblem> problems;
};

struct CheckTotals {
    int checked = 0;       // cards the selection found
    int withProblems = 0;  // cards with at least one problem line
    int wouldWrite = 0;    // records the export would write if nothing stopped it
};

struct CheckReport {
    std::vector<CheckedCard> cards;  // in the order the check met them
    CheckTotals totals;
};

// Told the number of cards checked so far, after each card.
using CheckProgress = std::function<void(int cardsChecked)>;

// dataDa / dataA: dd/mm/yyyy texts, used as they stand, as by the export run.
// Over one view of the files, taken again when they change meanwhile.
// Database failures raise the database layer's error.
CheckReport checkAllCards(const QString& dataDa, const QString& dataA, const RoomSource& camere,
                          const CheckProgress& progress = {});
// The same over the files as the run reads them.
CheckReport checkCards(db::Run& run, const QString& dataDa, const QString& dataA, const RoomSource& camere,
                       const CheckProgress& progress = {});

}  // namespace ostelvia::exporter
