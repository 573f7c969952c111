// SPDX-License-Identifier: GPL-3.0-or-later
// The tax report: the stays of the export's selection counted night by night
// under the rules of "ImpostaSoggiorno.txt", per month of departure. Every
// card the selection finds is a stay, whatever the check of its codes says;
// only those the export passes over without a record (Null arrival, or
// leaving the day they arrived) are not. A stay whose dates cannot be
// computed is listed apart and counted nowhere.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <vector>

#include "export/TaxRules.h"

namespace ostelvia::db {
class Run;
}

namespace ostelvia::exporter {

class RoomSource;

// Each night is counted once, under the first of exemptResidents, exemptAge,
// overLimit, taxable that applies; cents is the tax of the taxable nights.
struct TaxCounts {
    qint64 stays = 0;
    qint64 nights = 0;
    qint64 exemptResidents = 0;
    qint64 exemptAge = 0;
    qint64 overLimit = 0;
    qint64 taxable = 0;
    qint64 cents = 0;

    TaxCounts& operator+=(const TaxCounts& other);
    bool operator==(const TaxCounts&) const = default;
};

// What the count needs of one card: its stored dates (yyyymmdd) and whether
// the guest lives in the exempt municipality.
struct TaxStay {
    QString arrival;
    QString departure;
    QString birth;
    bool resident = false;
};

// A stay whose arrival or departure is no real date, or that does not leave
// after it arrives.
struct UncomputedStay {
    QString database;    // "Scheda_Cliente.mdb" or "SchedaStoricoClienti.mdb"
    QString room;        // NumeroCamera
    QString cardNumber;  // NumeroProgressivo
    QString guestName;   // NomeCliente
    QString arrival;     // dd/mm/yyyy by character position
    QString departure;
};

struct TaxReport {
    TaxRules rules;
    std::map<int, TaxCounts> months;  // by year * 100 + month of departure, ascending
    TaxCounts total;
    std::vector<UncomputedStay> uncomputed;
    int cardsRead = 0;  // cards the selection found
};

// A guest's age in whole years on a date (born 29 February: a year older
// from 1 March in other years).
int ageOn(const QDate& birth, const QDate& date);

// A stored yyyymmdd text as a date: nothing unless it is 8 digits naming a
// real day.
std::optional<QDate> storedDate(const QString& stored);

// Counts the stay into the report's month and total; false, counting
// nothing, when its dates cannot be computed.
bool countStay(const TaxStay& stay, const TaxRules& rules, TaxReport& report);

// The municipality names of the code table, sorted, each once: what the
// rules may name as the residents' municipality.
QStringList municipalityNames();
// True when the code table has a code for the municipality.
bool knownMunicipality(const QString& name);

// Told the number of cards read so far, after each card.
using TaxProgress = std::function<void(int cardsRead)>;

// dataDa / dataA: dd/mm/yyyy texts, used as they stand, as by the export run.
// Over one view of the files, taken again when they change meanwhile.
// Raises TaxRulesError when the code table lacks the rules' municipality,
// the database layer's error when a database fails.
TaxReport reportTax(const QString& dataDa, const QString& dataA, const RoomSource& camere, const TaxRules& rules,
                    const TaxProgress& progress = {});
// The same over the files as the run reads them.
TaxReport reportTax(db::Run& run, const QString& dataDa, const QString& dataA, const RoomSource& camere,
                    const TaxRules& rules, const TaxProgress& progress = {});

}  // namespace ostelvia::exporter
