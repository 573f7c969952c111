// SPDX-License-Identifier: GPL-3.0-or-later
// Record rules on cards the fixtures lack: Null fields, numbers that do not
// fit, control characters. The card is an in-memory guest table; the code
// lookups still read the fixture's Comuni.mdb.
#include "export/PresenceRecord.h"

#include "db/Run.h"
#include "FixtureSource.h"
#include "RecordLayout.h"
#include "TestSupport.h"
#include "text/Cp1252.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace ostelvia;
using namespace ostelvia::exporter;
using ostelvia::text::toCp1252;

namespace {

const QString kNull = QStringLiteral("\\N");

// C01 of the basic fixture as the only card of an in-memory guest file.
PresenceRecord buildCard(const test::SourceRow& card)
{
    db::registerMemoryDatabase(QStringLiteral("Scheda_Cliente.mdb"), {test::guestTable({card})});
    db::Run run;
    db::Database guests = run.open(QStringLiteral("Scheda_Cliente.mdb"));
    db::Recordset cards = guests.openRecordset(QStringLiteral("Scheda_Cliente"));
    cards.findFirst(QStringLiteral("NumeroHotel = 1"));
    PresenceRecord record;
    if (cards.noMatch())
        ADD_FAILURE() << "the in-memory card was not found";
    else
        record = CostruisciRiga(run, cards);
    guests.close();
    db::clearMemoryDatabases();
    return record;
}

test::SourceRow baseCard()
{
    return test::cardByLabel(QStringLiteral("Scheda_Cliente"), QStringLiteral("C01"));
}

PresenceRecord buildWith(std::initializer_list<std::pair<const char*, QString>> changes)
{
    test::SourceRow card = baseCard();
    for (const auto& [name, value] : changes)
        card[QString::fromUtf8(name)] = value;
    return buildCard(card);
}

QString utf8(const char* s)
{
    return QString::fromUtf8(s);
}

QString number(qint64 n)
{
    return QString::number(n);
}

class PresenceRecordRules : public ::testing::Test {
protected:
    test::ScratchDir dir_;
};

}  // namespace

TEST_F(PresenceRecordRules, BaseCardIsAWholeRecord)
{
    const PresenceRecord r = buildCard(baseCard());
    ASSERT_TRUE(r.ok()) << r.widthErrors.toStdString();
    EXPECT_EQ(r.riga.size(), kRecordLength);
    EXPECT_EQ(test::recordField(r.riga, 8), QStringLiteral("0024001201"));
}

TEST_F(PresenceRecordRules, StayKindFromCodIDS)
{
    const std::pair<int, const char*> cases[] = {
        {0, "01"}, {9999, "01"}, {10000, "00"}, {10003, "03"}, {10012, "12"}, {10015, "00"}, {10099, "99"},
    };
    for (const auto& [codIds, kind] : cases) {
        const PresenceRecord r = buildWith({{"CodIDS", number(codIds)}});
        ASSERT_TRUE(r.ok()) << codIds;
        EXPECT_EQ(test::recordField(r.riga, 11), QLatin1String(kind)) << codIds;
    }
    EXPECT_EQ(test::recordField(buildWith({{"CodIDS", kNull}}).riga, 11), QStringLiteral("01"));
}

TEST_F(PresenceRecordRules, GuestKindFirstMatchWins)
{
    struct Case {
        const char* family;
        int familyHead;
        const char* group;
        int groupHead;
        const char* kind;
    };
    const Case cases[] = {
        {"S", 0, "S", 0, "17"}, {"N", 7, "S", 0, "19"}, {"N", 0, "S", 0, "18"},
        {"N", 0, "N", 7, "20"}, {"N", 0, "N", 0, "16"}, {"U", 7, "U", 7, "16"},
        {"s", 0, "s", 0, "16"}, {"n", 7, "n", 7, "16"}, {"N", -3, "N", 0, "16"},
    };
    for (const Case& c : cases) {
        const PresenceRecord r = buildWith({{"CapoFamiglia", utf8(c.family)},
                                            {"CodiceCapoFamiglia", number(c.familyHead)},
                                            {"CapoGruppo", utf8(c.group)},
                                            {"CodiceCapoGruppo", number(c.groupHead)}});
        EXPECT_EQ(test::recordField(r.riga, 30), QLatin1String(c.kind))
            << c.family << c.familyHead << c.group << c.groupHead;
    }
}

TEST_F(PresenceRecordRules, IssueDateOfEightCharactersIsReadAsANumber)
{
    const std::pair<const char*, const char*> cases[] = {
        {"20120131", "20120131"}, {"190315", "00000000"},   {"", "00000000"},         {"201201310", "00000000"},
        {"  201201", "00201201"}, {"2012013X", "02012013"}, {"ABCDEFGH", "00000000"},
    };
    for (const auto& [stored, written] : cases) {
        const PresenceRecord r = buildWith({{"DataRilascioDocumento", utf8(stored)}});
        ASSERT_TRUE(r.ok()) << stored;
        EXPECT_EQ(test::recordField(r.riga, 28), QLatin1String(written)) << stored;
    }
    EXPECT_EQ(test::recordField(buildWith({{"DataRilascioDocumento", kNull}}).riga, 28), QStringLiteral("00000000"));
    EXPECT_EQ(buildWith({{"DataRilascioDocumento", utf8("1e9     ")}}).widthErrors,
              QStringLiteral("Tracciato record errato (campo 28: 1000000000) ROSSI MARIO\r\n"));
    // Rounded half away from zero; a sign comes before the zeros; whole
    // numbers on both sides of 2^53, where doubles stop holding every one.
    const std::pair<const char*, const char*> numbers[] = {
        {"2.5     ", "00000003"},         {"-0.4    ", "00000000"},          {"-5      ", "-00000005"},
        {"9e15    ", "9000000000000000"}, {"1e16    ", "10000000000000000"}, {"1e20    ", "100000000000000000000"},
    };
    for (const auto& [stored, written] : numbers) {
        const PresenceRecord r = buildWith({{"DataRilascioDocumento", utf8(stored)}});
        if (std::strlen(written) == 8)
            EXPECT_EQ(test::recordField(r.riga, 28), QLatin1String(written)) << stored;
        else
            EXPECT_EQ(
                r.widthErrors,
                QStringLiteral("Tracciato record errato (campo 28: %1) ROSSI MARIO\r\n").arg(QLatin1String(written)))
                << stored;
    }
}

TEST_F(PresenceRecordRules, NumbersThatOutgrowTheirFieldsAreReported)
{
    EXPECT_EQ(buildWith({{"NumeroComponente", number(12345678)}}).widthErrors,
              QStringLiteral("Tracciato record errato (campo 1: 12345678) ROSSI MARIO\r\n"));
    EXPECT_EQ(buildWith({{"NumeroProgressivo", number(9999000000)}}).widthErrors,
              QStringLiteral("Tracciato record errato (campo 8: 10023000000) ROSSI MARIO\r\n"));
    const PresenceRecord both = buildWith({{"CodIDS", number(10100)}, {"DataNascita", utf8("1975041")}});
    EXPECT_EQ(both.widthErrors,
              QStringLiteral("Tracciato record errato (campo 11: 100) ROSSI MARIO\r\n"
                             "Tracciato record errato (campo 16: 1975041) ROSSI MARIO\r\n"));
    EXPECT_TRUE(both.riga.isEmpty());
}

TEST_F(PresenceRecordRules, NullFieldsReadAsEmpty)
{
    test::SourceRow card = baseCard();
    for (auto& [name, value] : card) {
        if (name != QLatin1String("NumeroHotel"))
            value = kNull;
    }
    const PresenceRecord r = buildCard(card);
    // Only the as-stored dates and Sesso lose their width; the name is empty.
    EXPECT_EQ(r.widthErrors,
              QStringLiteral("Tracciato record errato (campo 2: ) \r\n"
                             "Tracciato record errato (campo 4: ) \r\n"
                             "Tracciato record errato (campo 5: ) \r\n"
                             "Tracciato record errato (campo 16: ) \r\n"
                             "Tracciato record errato (campo 38: ) \r\n"));

    // With those five present, every other Null field has its width.
    for (const char* name : {"DataArrivo", "DataPartenzaReale", "DataNascita"})
        card[QString::fromUtf8(name)] = utf8("20240301");
    card[QStringLiteral("Sesso")] = utf8("F");
    const PresenceRecord filled = buildCard(card);
    ASSERT_TRUE(filled.ok()) << filled.widthErrors.toStdString();
    const QString& riga = filled.riga;
    EXPECT_EQ(test::recordField(riga, 1), QStringLiteral("0000000"));
    EXPECT_EQ(test::recordField(riga, 8), QStringLiteral("0024000000"));
    EXPECT_EQ(test::recordField(riga, 11), QStringLiteral("01"));
    EXPECT_EQ(test::recordField(riga, 13) + test::recordField(riga, 14), QString(60, QLatin1Char(' ')));
    EXPECT_EQ(test::recordField(riga, 28), QStringLiteral("00000000"));
    EXPECT_EQ(test::recordField(riga, 30), QStringLiteral("16"));
    // Not Italian-born, not resident in Italy; empty names look nothing up.
    EXPECT_EQ(test::recordField(riga, 31), QStringLiteral("000000000"));
    EXPECT_EQ(test::recordField(riga, 32), QString(9, QLatin1Char(' ')));
    EXPECT_EQ(test::recordField(riga, 34), QStringLiteral("000000000"));
    EXPECT_EQ(test::recordField(riga, 37), QString(9, QLatin1Char(' ')));
}

TEST_F(PresenceRecordRules, ControlCharactersAreWrittenAsBlanks)
{
    const PresenceRecord r = buildWith({{"NomeCliente", utf8("ROSSI\tMARIO")},
                                        {"Indirizzo", utf8("VIA\r\nROMA 1")},
                                        {"NumeroDocumento",
                                         utf8("AX\x7F"
                                              "1")}});
    ASSERT_TRUE(r.ok());
    // A tab does not split words: the whole name is the last word.
    EXPECT_EQ(test::recordField(r.riga, 13), QString(30, QLatin1Char(' ')));
    EXPECT_EQ(test::recordField(r.riga, 14).left(11), QStringLiteral("ROSSI MARIO"));
    EXPECT_EQ(test::recordField(r.riga, 20).left(12), QStringLiteral("VIA  ROMA 1 "));
    EXPECT_EQ(test::recordField(r.riga, 26).left(5), QStringLiteral("AX 1 "));
    for (QChar c : r.riga)
        ASSERT_GE(c.unicode(), 0x20);
}

TEST_F(PresenceRecordRules, CharacterOutsideTheBmpTakesOnePlace)
{
    const PresenceRecord r = buildWith({{"NomeCliente", QString::fromUcs4(U"ROSSI \U0001F600ARIO")}});
    ASSERT_TRUE(r.ok()) << r.widthErrors.toStdString();
    EXPECT_EQ(r.riga.size(), kRecordLength);
    EXPECT_EQ(toCp1252(r.riga).size(), kRecordLength);
    EXPECT_EQ(test::recordField(r.riga, 14).left(6), QStringLiteral("?ARIO "));
}

TEST_F(PresenceRecordRules, MultiWordPlaceOfBirth)
{
    const PresenceRecord r = buildWith({{"LuogoNascita", utf8("  REGGIO NELL'EMILIA RE I ")}});
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(test::recordField(r.riga, 18), QStringLiteral("RE"));
    EXPECT_EQ(test::recordField(r.riga, 31), QStringLiteral("408035033"));
    EXPECT_EQ(test::recordField(r.riga, 32), QStringLiteral("100000100"));
}
