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

// Taxable nights charged at one tariff, and their tax.
struct TariffShare {
    qint64 nights = 0;
    qint64 cents = 0;
    bool operator==(const TariffShare&) const = default;
};

// Each night is counted once, under the first of exemptResidents, exemptAge,
// overLimit, taxable that applies; cents is the tax of the taxable nights,
// byTariff splits them by the tariff (cents a night) they were charged at.
struct TaxCounts {
    qint64 stays = 0;
    qint64 nights = 0;
    qint64 exemptResidents = 0;
    qint64 exemptAge = 0;
    qint64 overLimit = 0;
    qint64 taxable = 0;
    qint64 cents = 0;
    std::map<qint64, TariffShare> byTariff;

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

// One selected stay as the report took it, in the order the selection read
// it: what an audit asks when it wants the stays behind a figure.
struct StayDetail {
    QString database;
    QString room;
    QString cardNumber;
    QString guestName;
    QString arrival;  // as the check shows it: dd/mm/yyyy by position, "//" when empty, "" when Null
    QString departure;
    bool computed = false;  // false: the dates cannot be computed, counts and month are empty
    int month = 0;          // year * 100 + month of departure
    TaxCounts counts;       // this stay alone: stays is 1
};

struct TaxReport {
    TaxRules rules;
    std::map<int, TaxCounts> months;  // by year * 100 + month of departure, ascending
    TaxCounts total;
    std::vector<UncomputedStay> uncomputed;
    std::vector<StayDetail> stays;  // every stay counted or listed apart, in the order read
    int cardsRead = 0;              // cards the selection found
};

// A guest's age in whole years on a date (born 29 February: a year older
// from 1 March in other years).
int ageOn(const QDate& birth, const QDate& date);

// A stored yyyymmdd text as a date: nothing unless it is 8 digits naming a
// real day.
std::optional<QDate> storedDate(const QString& stored);

// The month a stay is reported under: year * 100 + month of departure.
int departureMonth(const QDate& departure);

// The counts of one stay; nothing when its dates cannot be computed.
std::optional<TaxCounts> stayCounts(const TaxStay& stay, const TaxRules& rules);

// The counts into the report's month of departure and total.
void addToReport(int month, const TaxCounts& counts, TaxReport& report);

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
