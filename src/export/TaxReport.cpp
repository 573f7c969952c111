// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/TaxReport.h"

#include <algorithm>

#include "checks/CardValidation.h"
#include "db/Run.h"
#include "export/CardSelection.h"
#include "export/CodeLookups.h"
#include "text/Blanks.h"

namespace ostelvia::exporter {

namespace {

// The code of the exempt municipality; "" when the rules exempt none.
QString residentCodeOf(db::Run& run, const TaxRules& rules)
{
    if (rules.residentMunicipality.isEmpty())
        return {};
    const QString code = CodiceComune(run, rules.residentMunicipality);
    if (text::trimBlanks(code).isEmpty()) {
        throw TaxRulesError(QStringLiteral("Il file \"%1\" non va bene, riga %2: il comune \"%3\" non è nella tabella "
                                           "dei codici.")
                                .arg(kFileRegoleImposta)
                                .arg(rules.residentLine)
                                .arg(text::shownInMessage(rules.residentMunicipality)));
    }
    return code;
}

// Resident as the record's municipality of residence has it: state "I" and
// the code of Residenza.
bool livesIn(db::Run& run, const db::Recordset& scheda, const QString& residentCode)
{
    if (residentCode.isEmpty() || text::trimBlanks(scheda.text(QStringLiteral("Stato"))) != QLatin1String("I"))
        return false;
    return CodiceComune(run, scheda.text(QStringLiteral("Residenza"))) == residentCode;
}

QStringList codeTableMunicipalities(db::Run& run)
{
    db::Database comuni = run.open(kCodeTableFile);
    db::Recordset rows = comuni.openRecordset(QStringLiteral("Select * From CodiciVari Where Tipo = 3"));
    QStringList names;
    const QString criteria = QStringLiteral("Tipo = 3");
    for (const db::Value& name : rows.fieldOfEach(criteria, QStringLiteral("Descrizione"))) {
        const QString trimmed = text::trimBlanks(name.toText());
        if (!trimmed.isEmpty())
            names << trimmed;
    }
    comuni.close();
    return names;
}

// A stored date as typed; an empty one stays empty.
QString typedDate(const QString& stored)
{
    return text::trimBlanks(stored).isEmpty() ? QString() : checks::storedToTyped(stored);
}

UncomputedStay describe(const QString& database, const db::Recordset& scheda)
{
    return {database,
            scheda.text(QStringLiteral("NumeroCamera")),
            scheda.text(QStringLiteral("NumeroProgressivo")),
            scheda.text(QStringLiteral("NomeCliente")),
            typedDate(scheda.text(QStringLiteral("DataArrivo"))),
            typedDate(scheda.text(QStringLiteral("DataPartenzaReale")))};
}

// The tax of `count` nights from `first` on, split by tariff. Nights between
// two changes of tariff are counted together: a stay mistyped across
// centuries costs a few steps, not a million.
std::map<qint64, TariffShare> taxOfNights(const TaxRules& rules, const QDate& first, qint64 count)
{
    std::map<qint64, TariffShare> shares;
    const QDate end = first.addDays(count);
    for (QDate night = first; night < end;) {
        QDate next = end;
        for (const TaxSeason& season : rules.seasons) {
            if (season.first > night)
                next = std::min(next, season.first);
            const QDate after = season.last.addDays(1);
            if (after > night)
                next = std::min(next, after);
        }
        const qint64 tariff = rules.tariffOn(night);
        TariffShare& share = shares[tariff];
        share.nights += night.daysTo(next);
        share.cents += night.daysTo(next) * tariff;
        night = next;
    }
    return shares;
}

StayDetail detailOf(const QString& database, const db::Recordset& scheda, const std::optional<TaxCounts>& counts)
{
    StayDetail detail{database,
                      scheda.text(QStringLiteral("NumeroCamera")),
                      scheda.text(QStringLiteral("NumeroProgressivo")),
                      scheda.text(QStringLiteral("NomeCliente")),
                      shownCardDate(scheda, QStringLiteral("DataArrivo")),
                      shownCardDate(scheda, QStringLiteral("DataPartenzaReale")),
                      counts.has_value(),
                      0,
                      counts.value_or(TaxCounts{})};
    if (counts)
        detail.month = departureMonth(*storedDate(scheda.text(QStringLiteral("DataPartenzaReale"))));
    return detail;
}

}  // namespace

TaxCounts& TaxCounts::operator+=(const TaxCounts& other)
{
    stays += other.stays;
    nights += other.nights;
    exemptResidents += other.exemptResidents;
    exemptAge += other.exemptAge;
    overLimit += other.overLimit;
    taxable += other.taxable;
    cents += other.cents;
    for (const auto& [tariff, share] : other.byTariff) {
        byTariff[tariff].nights += share.nights;
        byTariff[tariff].cents += share.cents;
    }
    return *this;
}

int ageOn(const QDate& birth, const QDate& date)
{
    int age = date.year() - birth.year();
    if (date.month() < birth.month() || (date.month() == birth.month() && date.day() < birth.day()))
        --age;
    return age;
}

std::optional<QDate> storedDate(const QString& stored)
{
    if (stored.size() != 8)
        return std::nullopt;
    int digits[8];
    for (int i = 0; i < 8; ++i) {
        const char16_t c = stored.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        digits[i] = c - u'0';
    }
    const int year = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    const QDate date(year, digits[4] * 10 + digits[5], digits[6] * 10 + digits[7]);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<TaxCounts> stayCounts(const TaxStay& stay, const TaxRules& rules)
{
    const std::optional<QDate> arrival = storedDate(stay.arrival);
    const std::optional<QDate> departure = storedDate(stay.departure);
    if (!arrival || !departure || *departure <= *arrival)
        return std::nullopt;
    TaxCounts counts;
    counts.stays = 1;
    counts.nights = arrival->daysTo(*departure);
    const std::optional<QDate> birth = storedDate(stay.birth);
    if (stay.resident) {
        counts.exemptResidents = counts.nights;
    } else if (rules.exemptAge > 0 && birth && ageOn(*birth, *arrival) < rules.exemptAge) {
        counts.exemptAge = counts.nights;
    } else {
        counts.taxable = rules.maxNights > 0 ? std::min<qint64>(counts.nights, rules.maxNights) : counts.nights;
        counts.overLimit = counts.nights - counts.taxable;
        counts.byTariff = taxOfNights(rules, *arrival, counts.taxable);
        for (const auto& [tariff, share] : counts.byTariff)
            counts.cents += share.cents;
    }
    return counts;
}

int departureMonth(const QDate& departure)
{
    return departure.year() * 100 + departure.month();
}

void addToReport(int month, const TaxCounts& counts, TaxReport& report)
{
    report.months[month] += counts;
    report.total += counts;
}

QStringList municipalityNames()
{
    QStringList names = db::withSteadyView({kCodeTableFile}, [](db::Run& run) { return codeTableMunicipalities(run); });
    names.sort(Qt::CaseInsensitive);
    names.removeDuplicates();
    return names;
}

bool knownMunicipality(const QString& name)
{
    return db::withSteadyView({kCodeTableFile},
                              [&](db::Run& run) { return !text::trimBlanks(CodiceComune(run, name)).isEmpty(); });
}

TaxReport reportTax(const QString& dataDa, const QString& dataA, const RoomSource& camere, const TaxRules& rules,
                    const TaxProgress& progress)
{
    return db::withSteadyView(QStringList{kCodeTableFile} + kGuestFiles,
                              [&](db::Run& run) { return reportTax(run, dataDa, dataA, camere, rules, progress); });
}

TaxReport reportTax(db::Run& run, const QString& dataDa, const QString& dataA, const RoomSource& camere,
                    const TaxRules& rules, const TaxProgress& progress)
{
    TaxReport report;
    report.rules = rules;
    const QString residentCode = residentCodeOf(run, rules);
    walkSelectedCards(run, dataDa, dataA, camere, [&](const QString& database, const db::Recordset& scheda) {
        ++report.cardsRead;
        if (isExported(scheda)) {
            const TaxStay stay{scheda.text(QStringLiteral("DataArrivo")),
                               scheda.text(QStringLiteral("DataPartenzaReale")),
                               scheda.text(QStringLiteral("DataNascita")), livesIn(run, scheda, residentCode)};
            const std::optional<TaxCounts> counts = stayCounts(stay, rules);
            report.stays.push_back(detailOf(database, scheda, counts));
            if (counts)
                addToReport(report.stays.back().month, *counts, report);
            else
                report.uncomputed.push_back(describe(database, scheda));
        }
        if (progress)
            progress(report.cardsRead);
    });
    return report;
}

}  // namespace ostelvia::exporter
