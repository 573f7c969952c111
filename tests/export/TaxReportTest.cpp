// SPDX-License-Identifier: GPL-3.0-or-later
// The tax rules file and the counting of nights: wrong files refused with
// their line, ages on the arrival date, tariffs of nights at season edges,
// and one family whose members fall under different exemptions, as an
// in-memory guest file.
#include <gtest/gtest.h>

#include "db/Database.h"
#include "export/TaxOutput.h"
#include "export/TaxReport.h"
#include "export/TaxRules.h"
#include "FixtureSource.h"
#include "RunDoubles.h"
#include "TestSupport.h"

namespace ostelvia::test {
namespace {

using exporter::TaxCounts;
using exporter::TaxReport;
using exporter::TaxRules;
using exporter::TaxSeason;
using exporter::TaxStay;

QDate day(int d, int m, int y)
{
    return QDate(y, m, d);
}

TEST(TaxRulesFile, AWrongFileIsRefusedNamingTheLine)
{
    struct Case {
        const char* bytes;
        const char* message;  // a piece of the message
    };
    const Case cases[] = {
        {"EtaEsente=12\nNottiMassime=5\n", "manca la tariffa"},
        {"# solo commenti\r\n\r\n", "manca la tariffa"},
        {"Tariffa=3,50\r\ntariffa = 4\r\n", "riga 2: la chiave \"Tariffa\" è già data alla riga 1"},
        {"Tariffa=1\nEtaEsente=12\n\nETAESENTE=14\n", "riga 4"},
        {"Tariffa=1\nStagioni=01/06/2024 30/06/2024 2\n", "riga 2: chiave sconosciuta \"Stagioni\""},
        {"Tariffa 3,50\n", "riga 1: manca \"=\""},
        {"Tariffa=3,505\n", "riga 1: importo non valido"},
        {"Tariffa=-1\n", "riga 1: importo non valido"},
        {"Tariffa=1.000,00\n", "riga 1: importo non valido"},
        {"Tariffa=\n", "riga 1: importo non valido"},
        {"Tariffa=1\nEtaEsente=dodici\n", "riga 2: età esente non valida"},
        {"Tariffa=1\nNottiMassime=-3\n", "riga 2: numero di notti non valido"},
        {"Tariffa=1\nStagione=31/02/2024 30/06/2024 2\n", "riga 2: data non valida \"31/02/2024\""},
        {"Tariffa=1\nStagione=1/6/2024 30/06/2024 2\n", "riga 2: data non valida \"1/6/2024\""},
        {"Tariffa=1\nStagione=01/07/2024 30/06/2024 2\n", "riga 2: la stagione finisce"},
        {"Tariffa=1\nStagione=01/06/2024 30/06/2024\n", "riga 2: stagione non valida"},
        {"Tariffa=1\nStagione=01/06/2024 30/06/2024 2,x\n", "riga 2: importo non valido"},
        {"Tariffa=1\nComuneResidenti=ROMA\nComuneResidenti=\n", "riga 3"},
        {"Tariffa=1\nEta\x1b[2JEsente=1\n", "riga 2: chiave sconosciuta \"Eta [2JEsente\""},
    };
    for (const Case& c : cases) {
        try {
            exporter::parseTaxRules(QByteArray(c.bytes));
            ADD_FAILURE() << "accepted: " << c.bytes;
        } catch (const exporter::TaxRulesError& error) {
            EXPECT_TRUE(error.message().contains(QStringLiteral("\"ImpostaSoggiorno.txt\"")))
                << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(QString::fromUtf8(c.message)))
                << c.bytes << " -> " << error.message().toStdString();
        }
    }
}

// A line that runs on for megabytes is no rule: refused at once, and no
// message quotes more than a short piece of what was written.
TEST(TaxRulesFile, AbsurdLinesAreRefusedAndQuotedShort)
{
    const struct {
        QByteArray bytes;
        const char* message;
    } cases[] = {
        {"Tariffa=1\n" + QByteArray(10000000, 'x') + "=1\n", "riga 2: la riga è troppo lunga (10000002 caratteri"},
        {"Tariffa=1\n" + QByteArray(900, 'k') + "=1\n", "riga 2: chiave sconosciuta \"kkk"},
        {"Tariffa=1\nStagione=01/06/2024 30/06/2024 " + QByteArray(900, '9') + "\n", "riga 2: importo non valido"},
    };
    for (const auto& c : cases) {
        try {
            exporter::parseTaxRules(c.bytes);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const exporter::TaxRulesError& error) {
            EXPECT_TRUE(error.message().contains(QString::fromUtf8(c.message))) << error.message().toStdString();
            EXPECT_LT(error.message().size(), 200) << error.message().left(300).toStdString();
        }
    }
}

TEST(TaxRulesFile, AGoodFileIsReadAsWrittenAndWrittenBackTheSame)
{
    const QByteArray bytes = "  tariffa = 1.5 \r\n"
                             "\n"
                             "# stagioni: vale l'ultima\r\n"
                             "STAGIONE=01/06/2024\t31/08/2024   4,5\n"
                             "Stagione = 15/07/2024 15/08/2024 6\r\n"
                             "EtaEsente=0\n"
                             "NottiMassime = 7\n"
                             "ComuneResidenti=  FORL\xCC  \r\n";
    const TaxRules rules = exporter::parseTaxRules(bytes);
    EXPECT_EQ(rules.tariffCents, 150);
    ASSERT_EQ(rules.seasons.size(), 2u);
    EXPECT_EQ(rules.seasons[0], (TaxSeason{day(1, 6, 2024), day(31, 8, 2024), 450}));
    EXPECT_EQ(rules.seasons[1], (TaxSeason{day(15, 7, 2024), day(15, 8, 2024), 600}));
    EXPECT_EQ(rules.exemptAge, 0);
    EXPECT_EQ(rules.maxNights, 7);
    EXPECT_EQ(rules.residentMunicipality, QStringLiteral("FORLÌ"));
    EXPECT_EQ(rules.residentLine, 8);
    // Saved by an editor as UTF-8 with its mark: the same name.
    EXPECT_EQ(exporter::parseTaxRules("\xEF\xBB\xBFTariffa=1\nComuneResidenti=FORL\xC3\x8C\n").residentMunicipality,
              QStringLiteral("FORLÌ"));

    TaxRules back = exporter::parseTaxRules(exporter::taxRulesText(rules));
    back.residentLine = rules.residentLine;
    EXPECT_EQ(back, rules);
    EXPECT_EQ(exporter::eurosText(123450), QStringLiteral("1234,50"));
    EXPECT_EQ(exporter::eurosText(5), QStringLiteral("0,05"));
}

// Editors save the rules as Windows-1252, as UTF-8 with or without its mark,
// or as UTF-16; and the dialog reads every right line of a wrong file.
TEST(TaxRulesFile, EncodingsAndWrongLinesAreReadAsMeant)
{
    const TaxRules utf8 = exporter::parseTaxRules("Tariffa=1\nComuneResidenti=FORL\xC3\x8C\n");
    EXPECT_EQ(utf8.residentMunicipality, QStringLiteral("FORLÌ"));
    EXPECT_EQ(exporter::parseTaxRules("\xEF\xBB\xBFTariffa=1\nComuneResidenti=FORL\xC3\x8C\n"), utf8);
    EXPECT_EQ(exporter::parseTaxRules("Tariffa=1\nComuneResidenti=FORL\xCC\n"), utf8);
    for (const QByteArray& utf16 : {QByteArray("\xFF\xFET\0a\0r\0", 8), QByteArray("T\0a\0r\0", 6)}) {
        try {
            exporter::parseTaxRules(utf16);
            ADD_FAILURE() << "UTF-16 read";
        } catch (const exporter::TaxRulesError& error) {
            EXPECT_TRUE(error.message().contains(QStringLiteral("UTF-16"))) << error.message().toStdString();
        }
        EXPECT_TRUE(exporter::parseTaxRulesLeniently(utf16).problem.contains(QStringLiteral("UTF-16")));
    }

    const exporter::TaxRulesReading reading =
        exporter::parseTaxRulesLeniently("Tariffa=2\nStagione=01/06/2024 31/06/2024 3\nStagione=01/07/2024 31/07/2024 "
                                         "4\nEtaEsente=-1\nNottiMassime=5\n");
    EXPECT_EQ(reading.problemLine, 2);
    EXPECT_TRUE(reading.problem.contains(QStringLiteral("riga 2"))) << reading.problem.toStdString();
    EXPECT_TRUE(reading.tariffRead);
    EXPECT_EQ(reading.rules.tariffCents, 200);
    ASSERT_EQ(reading.rules.seasons.size(), 1u);
    EXPECT_EQ(reading.rules.seasons[0].cents, 400);
    EXPECT_EQ(reading.rules.exemptAge, 0);
    EXPECT_EQ(reading.rules.maxNights, 5);
    const exporter::TaxRulesReading noTariff = exporter::parseTaxRulesLeniently("NottiMassime=5\n");
    EXPECT_FALSE(noTariff.tariffRead);
    EXPECT_TRUE(noTariff.problem.contains(QStringLiteral("manca la tariffa")));
    EXPECT_TRUE(exporter::parseTaxRulesLeniently("Tariffa=2\n").problem.isEmpty());

    TaxRules seasons = exporter::parseTaxRules("Tariffa=1\nStagione=01/06/2024 30/06/2024 2\n"
                                               "Stagione=01/07/2024 31/07/2024 2\nStagione=31/07/2024 31/07/2024 3\n"
                                               "Stagione=01/01/2024 01/06/2024 1\n");
    EXPECT_EQ(exporter::overlappingSeasons(seasons), (std::vector<std::pair<int, int>>{{0, 3}, {1, 2}}));
}

TaxStay adultStay(const QString& arrival, const QString& departure)
{
    return {arrival, departure, QString(), false};
}

// The count of one stay alone.
TaxCounts countOne(const TaxStay& stay, const TaxRules& rules)
{
    const std::optional<TaxCounts> counts = exporter::stayCounts(stay, rules);
    EXPECT_TRUE(counts) << stay.arrival.toStdString();
    return counts.value_or(TaxCounts());
}

TEST(TaxCount, AgeIsTakenOnTheArrivalDate)
{
    TaxRules rules;
    rules.tariffCents = 100;
    struct Case {
        const char* birth;
        const char* arrival;
        int exemptAge;
        bool exempt;
    };
    const Case cases[] = {
        {"20100315", "20240314", 14, true},                                        // fourteen the next day
        {"20100315", "20240315", 14, false},                                       // fourteen that very day
        {"20000229", "20250228", 25, true},                                        // born on 29 February: still 24
        {"20000229", "20250301", 25, false},                                       // a year older from 1 March
        {"20000229", "20240229", 24, false},                                       // and on the day in a leap year
        {"20000229", "20240228", 24, true},  {"20101332", "20240314", 99, false},  // no real birth date: an adult
        {"", "20240314", 99, false},         {"2010-03-15", "20240314", 99, false},
        {"20240320", "20240314", 1, true},  // born after arriving: age below zero
    };
    for (const Case& c : cases) {
        rules.exemptAge = c.exemptAge;
        const QDate arrival = *exporter::storedDate(QString::fromLatin1(c.arrival));
        const TaxStay stay{QString::fromLatin1(c.arrival), arrival.addDays(2).toString(QStringLiteral("yyyyMMdd")),
                           QString::fromLatin1(c.birth), false};
        const TaxCounts counts = countOne(stay, rules);
        EXPECT_EQ(counts.exemptAge, c.exempt ? 2 : 0) << c.birth << " " << c.arrival;
        EXPECT_EQ(counts.cents, c.exempt ? 0 : 200) << c.birth << " " << c.arrival;
    }
    EXPECT_EQ(exporter::ageOn(day(29, 2, 2000), day(28, 2, 2001)), 0);
    EXPECT_EQ(exporter::ageOn(day(29, 2, 2000), day(1, 3, 2001)), 1);
}

TEST(TaxCount, EachNightPaysTheTariffOfItsDate)
{
    TaxRules rules;
    rules.tariffCents = 100;
    rules.seasons = {{day(1, 6, 2024), day(30, 6, 2024), 500},
                     {day(1, 7, 2024), day(31, 7, 2024), 300},
                     {day(20, 7, 2024), day(22, 7, 2024), 1000}};
    struct Case {
        const char* arrival;
        const char* departure;
        qint64 cents;
    };
    const Case cases[] = {
        {"20240530", "20240601", 200},   // the departure day is no night
        {"20240530", "20240602", 700},   // the season's first night
        {"20240630", "20240701", 500},   // its last night
        {"20240628", "20240703", 2100},  // across two seasons: 3 x 5 + 2 x 3
        {"20240719", "20240724", 3600},  // the season written last wins: 3 + 3 x 10 + 3
        {"20240731", "20240802", 400},  {"20231231", "20250101", 100 * (366 + 1 - 61) + 500 * 30 + 300 * 28 + 1000 * 3},
    };
    const TaxCounts acrossTwo = countOne(adultStay(QStringLiteral("20240628"), QStringLiteral("20240703")), rules);
    EXPECT_EQ(acrossTwo.byTariff, (std::map<qint64, exporter::TariffShare>{{300, {2, 600}}, {500, {3, 1500}}}));
    for (const Case& c : cases) {
        const TaxCounts counts =
            countOne(adultStay(QString::fromLatin1(c.arrival), QString::fromLatin1(c.departure)), rules);
        EXPECT_EQ(counts.cents, c.cents) << c.arrival;
        EXPECT_EQ(counts.taxable, counts.nights) << c.arrival;
    }

    // Night by night against the tariff of each date, with a limit of nights
    // that ends inside a season and seasons nested every way.
    rules.seasons.push_back({day(25, 6, 2024), day(5, 7, 2024), 777});
    rules.seasons.push_back({day(27, 6, 2024), day(27, 6, 2024), 1});
    for (int limit : {0, 1, 4, 30}) {
        rules.maxNights = limit;
        for (QDate arrival = day(15, 5, 2024); arrival < day(15, 8, 2024); arrival = arrival.addDays(3)) {
            for (int nights : {1, 2, 9, 40}) {
                const TaxCounts counts =
                    countOne(adultStay(arrival.toString(QStringLiteral("yyyyMMdd")),
                                       arrival.addDays(nights).toString(QStringLiteral("yyyyMMdd"))),
                             rules);
                const int taxed = limit > 0 ? std::min(nights, limit) : nights;
                qint64 expected = 0;
                for (int i = 0; i < taxed; ++i)
                    expected += rules.tariffOn(arrival.addDays(i));
                ASSERT_EQ(counts.cents, expected) << arrival.toString().toStdString() << " " << nights;
                ASSERT_EQ(counts.overLimit, nights - taxed);
                // The split by tariff adds up to the taxed nights and their tax.
                qint64 splitNights = 0;
                qint64 splitCents = 0;
                for (const auto& [tariff, share] : counts.byTariff) {
                    ASSERT_EQ(share.cents, share.nights * tariff);
                    splitNights += share.nights;
                    splitCents += share.cents;
                }
                ASSERT_EQ(splitNights, taxed);
                ASSERT_EQ(splitCents, expected);
            }
        }
    }
}

TEST(TaxCount, StaysWithoutRealDatesAreNotCounted)
{
    TaxRules rules;
    rules.tariffCents = 100;
    for (const auto& [arrival, departure] :
         {std::pair{"", "20240305"}, std::pair{"20240231", "20240305"}, std::pair{"20240305", "20240305"},
          std::pair{"20240306", "20240305"}, std::pair{"2024030", "20240305"}, std::pair{"20240301", "2024 305"}}) {
        EXPECT_FALSE(
            exporter::stayCounts(adultStay(QString::fromLatin1(arrival), QString::fromLatin1(departure)), rules))
            << arrival << " " << departure;
    }
}

// One family of five nights, counted through the export's selection: the
// code table is the fixture's, the guest file in memory.
class TaxFamily : public ::testing::Test {
protected:
    void TearDown() override
    {
        db::clearMemoryDatabases();
        EXPECT_TRUE(scratch.databasesUntouched());
    }

    ScratchDir scratch;
};

TEST_F(TaxFamily, EachNightFallsUnderTheFirstExemptionThatApplies)
{
    const SourceRow base = cardByLabel(QStringLiteral("Scheda_Cliente"), QStringLiteral("C01"));
    std::vector<SourceRow> cards;
    auto add = [&](int number, const char* state, const char* residence, const char* birth,
                   const char* arrival = "20240301", const char* lingua = "I") {
        SourceRow card = base;
        card[QStringLiteral("NumeroProgressivo")] = QString::number(number);
        card[QStringLiteral("Stato")] = QString::fromLatin1(state);
        card[QStringLiteral("Residenza")] = QString::fromLatin1(residence);
        card[QStringLiteral("DataNascita")] = QString::fromLatin1(birth);
        card[QStringLiteral("DataArrivo")] = QString::fromLatin1(arrival);
        card[QStringLiteral("DataPartenzaReale")] = QStringLiteral("20240306");
        card[QStringLiteral("Lingua")] = QString::fromLatin1(lingua);
        cards.push_back(card);
    };
    add(1, "I", "ROMA", "19750412");                    // resident
    add(2, "I", "ROMA", "20150101");                    // resident and a minor: resident
    add(3, "I", "MILANO", "20150101");                  // a minor
    add(4, "I", "MILANO", "19800101");                  // 3 nights taxed, 2 over the limit
    add(5, " I ", "roma", "19800101");                  // resident as field 34 has it
    add(6, "D", "ROMA", "19800101");                    // abroad: ROMA is no residence code
    add(7, "I", "MILANO", "20100301");                  // fourteen on arrival: taxed
    add(8, "I", "ROMA", "19800101", "20240306");        // leaves the day it arrives
    add(9, "I", "ROMA", "19800101", "\\N");             // Null arrival
    add(10, "I", "ROMA", "19800101", "");               // cannot be computed
    add(11, "I", "ROMA", "19800101", "20240301", "*");  // never selected
    db::registerMemoryDatabase(QStringLiteral("Scheda_Cliente.mdb"), {guestTable(cards)});
    db::registerMemoryDatabase(QStringLiteral("SchedaStoricoClienti.mdb"), {guestTable({})});

    TaxRules rules = exporter::parseTaxRules("Tariffa=2\nEtaEsente=14\nNottiMassime=3\nComuneResidenti=ROMA\n");
    const TaxReport report =
        exporter::reportTax(QStringLiteral("06/03/2024"), QStringLiteral("06/03/2024"), FixedRooms(), rules);
    EXPECT_EQ(report.cardsRead, 10);
    const TaxCounts expected{7, 35, 15, 5, 6, 9, 1800, {{200, {9, 1800}}}};
    EXPECT_EQ(report.total, expected);
    ASSERT_EQ(report.months.size(), 1u);
    EXPECT_EQ(report.months.at(202403), expected);
    ASSERT_EQ(report.uncomputed.size(), 1u);
    EXPECT_EQ(report.uncomputed[0].cardNumber, QStringLiteral("10"));
    EXPECT_EQ(report.uncomputed[0].arrival, QString());

    const std::vector<QStringList> rows = exporter::taxRows(report);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (QStringList{"03/2024", "7", "35", "15", "5", "6", "9", "18,00"}));
    EXPECT_EQ(rows[1].first(), QStringLiteral("Totale"));

    // The stays behind the figures, in the order read; the ones the export
    // passes over (cards 8 and 9) are no stay.
    const std::vector<QStringList> stays = exporter::stayRows(report);
    ASSERT_EQ(stays.size(), 8u);
    auto tail = [](const QStringList& row) { return row.mid(4); };
    EXPECT_EQ(tail(stays[0]), (QStringList{"01/03/2024", "06/03/2024", "03/2024", "5", "residente", "0", "0", "0,00"}));
    EXPECT_EQ(tail(stays[2]), (QStringList{"01/03/2024", "06/03/2024", "03/2024", "5", "età", "0", "0", "0,00"}));
    EXPECT_EQ(tail(stays[3]), (QStringList{"01/03/2024", "06/03/2024", "03/2024", "5", "", "2", "3", "6,00"}));
    EXPECT_EQ(stays[7].at(2), QStringLiteral("10"));
    EXPECT_EQ(tail(stays[7]), (QStringList{"//", "06/03/2024", "", "", "non calcolabile", "", "", ""}));

    // A municipality the code table lacks stops the report at its line.
    rules.residentMunicipality = QStringLiteral("MACONDO");
    rules.residentLine = 4;
    try {
        exporter::reportTax(QStringLiteral("06/03/2024"), QStringLiteral("06/03/2024"), FixedRooms(), rules);
        ADD_FAILURE() << "MACONDO accepted";
    } catch (const exporter::TaxRulesError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("riga 4"))) << error.message().toStdString();
    }
}

}  // namespace
}  // namespace ostelvia::test
