// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/PresenceRecord.h"

#include "db/Run.h"
#include "export/CodeLookups.h"
#include "RecordLayout.h"
#include "TestSupport.h"
#include "text/Cp1252.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

using namespace ostelvia;
using namespace ostelvia::exporter;
using ostelvia::text::toCp1252;

// Expected values are worked out from tests/data/basic/README.md and the
// card and code rows of tests/data/basic/src/*.tsv.

namespace {

QString field(const QString& riga, int n)
{
    return test::recordField(riga, n);
}

QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

QString padded(const QString& text, int width)
{
    return text + blanks(width - static_cast<int>(text.size()));
}

PresenceRecord build(const QString& criteria, const QString& file = QStringLiteral("Scheda_Cliente.mdb"))
{
    db::Run run;
    db::Database guests = run.open(file);
    db::Recordset cards = guests.openRecordset(QStringLiteral("Scheda_Cliente"));
    cards.findFirst(criteria);
    if (cards.noMatch()) {
        ADD_FAILURE() << "no card for " << criteria.toStdString();
        return {};
    }
    PresenceRecord record = CostruisciRiga(run, cards);
    guests.close();
    return record;
}

// A valid card's record; fails the test when it is not one.
QString riga(const QString& criteria, const QString& file = QStringLiteral("Scheda_Cliente.mdb"))
{
    const PresenceRecord record = build(criteria, file);
    EXPECT_TRUE(record.ok()) << record.widthErrors.toStdString();
    EXPECT_EQ(record.riga.size(), kRecordLength);
    return record.riga;
}

QString card(int numeroProgressivo)
{
    return QStringLiteral("NumeroProgressivo = %1").arg(numeroProgressivo);
}

class PresenceRecordTest : public ::testing::Test {
protected:
    test::ScratchDir dir_;
};

}  // namespace

TEST_F(PresenceRecordTest, SingleItalianGuestWholeRecord)
{
    // C01: ROSSI MARIO, NumeroProgressivo 1201, arrival 20240301.
    const QString expected = QStringLiteral("0005001") + "20240301" + "180000" + "20240301" + "20240304" + "100000"
        + "0" + "0024001201" + "0" + "0" + "01" + "01" + padded("ROSSI", 30) + padded("MARIO", 30) + blanks(16)
        + "19750412" + blanks(35) + "RM" + blanks(35) + padded("VIA APPIA NUOVA 12", 60) + "00183" + blanks(35) + "RM"
        + blanks(35) + blanks(320) + padded("AX1234567", 20) + blanks(10) + "20190315" + "000" + "16" + "405058091"
        + "100000100" + "100000100" + "405058091" + "100000100" + "IDENT" + "405058091" + "M";
    ASSERT_EQ(expected.size(), kRecordLength);
    EXPECT_EQ(riga(card(1201)), expected);
    EXPECT_TRUE(dir_.databasesUntouched());
}

// One row per record rule, on the card of the basic fixture that shows it.
TEST_F(PresenceRecordTest, FieldsOfTheCardsThatShowEachRule)
{
    struct Case {
        const char* what;
        QString criteria;
        std::vector<std::pair<int, QString>> fields;
        QString file = QStringLiteral("Scheda_Cliente.mdb");
    };
    const QString none = blanks(9);
    const std::vector<Case> cases = {
        // C02: the first MILANO municipality row belongs to hotel 2; lookups do not filter.
        {"C02 head of family",
         card(1202),
         {{11, "03"}, {30, "17"}, {18, "TO"}, {31, "401001272"}, {23, "MI"}, {34, "999015146"}, {37, "999015146"}}},
        // GERMANIA is no municipality: the place of issue falls back to the state.
        {"C07 foreign group member",
         card(1206),
         {{11, "12"},
          {18, "EE"},
          {23, "  "},
          {28, "20180620"},
          {30, "20"},
          {31, "000000000"},
          {32, "100000216"},
          {33, "100000216"},
          {34, "000000000"},
          {35, "100000216"},
          {36, "PASOR"},
          {37, "100000216"}}},
        {"C08 born FRANCIA XX F",
         card(1207),
         {{11, "00"},
          {13, padded("DUPONT JEAN", 30)},
          {14, padded("PIERRE", 30)},
          {18, "XX"},
          {20, padded("RUE DE LA RÉPUBLIQUE 21", 60)},
          {31, "000000000"},
          {32, "100000215"},
          {37, "100000215"}}},
        {"C09 ^ before the name", card(1208), {{13, padded("ESPOSITO", 30)}, {14, padded("CIRO", 30)}}},
        {"C10 long surname cut", card(1209), {{13, "DELLA GHERARDESCA SANTAMARIA A"}, {14, padded("BEATRICE", 30)}}},
        {"C11 long first name cut", card(1210), {{13, padded("ROSSI", 30)}, {14, "GIOVANNI-BATTISTA-MARIA-FRANCE"}}},
        {"C12 apostrophes",
         card(1211),
         {{13, padded("D'ANGELO", 30)},
          {14, padded("MARIA", 30)},
          {18, "FG"},
          {20, padded("VIA DELL'ARCO 3", 60)},
          {31, "416071033"},
          {34, "413066049"},
          {37, "413066049"}}},
        {"C13 accented letters",
         card(1212),
         {{13, padded("CARLÀ", 30)},
          {14, padded("NICOLÒ", 30)},
          {31, "408040012"},
          {34, "403013041"},
          {37, "408040012"}}},
        {"C14 short codes zero-filled",
         card(1213),
         {{11, "05"},
          {31, "000000000"},
          {32, "000056789"},
          {33, "000056789"},
          {34, "000001234"},
          {35, "100000100"},
          {37, "000056789"}}},
        {"C17 state and municipality SAN MARINO",
         card(1215),
         {{31, "000000000"},
          {32, "100000236"},
          {33, "100000236"},
          {34, "000000000"},
          {35, "100000236"},
          {37, "499999999"}}},
        // Three blanks and the address: the first 60 characters end inside LEGALE.
        {"C20 cut before trimmed",
         card(1218),
         {{20, padded("VIA DEI MILLE 14, SCALA B, INTERNO 9, PRESSO STUDIO LEGAL", 60)},
          {21, "0010 "},
          {23, "R "},
          {26, padded(" AB1234567", 20)},
          {36, "PATEN"}}},
        {"C21 card number beyond 32 bits", card(2147483647), {{1, "9999999"}, {8, "2171483647"}}},
        {"H01 history card",
         card(345),
         {{8, "0012000345"}, {2, "20120131"}},
         QStringLiteral("SchedaStoricoClienti.mdb")},
        {"K21 Null NumeroProgressivo", QStringLiteral("NomeCliente = 'SORRENTINO MIA'"), {{8, "0024000000"}}},
        // Place of issue " GERMANIA" is looked up by name as stored.
        {"C27 failed lookup", card(1224), {{37, none}, {32, "100000216"}}},
        // LATINA's CodicePS is Null, which is no match; nor is LATINA a state.
        {"K07 Null code", card(1249), {{31, none}, {34, none}, {37, none}, {32, "100000100"}}},
        {"K18 letter outside the code page", card(1260), {{14, padded("ŁUCJA", 30)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString r = riga(c.criteria, c.file);
        for (const auto& [n, expected] : c.fields)
            EXPECT_EQ(field(r, n), expected) << "field " << n;
    }
}

TEST_F(PresenceRecordTest, EachCharacterIsOneByteInTheCodePage)
{
    const QByteArray accented = toCp1252(riga(card(1212)));  // C13: CARLÀ
    ASSERT_EQ(accented.size(), kRecordLength);
    EXPECT_EQ(accented.at(64), '\xC0');                    // À at position 65
    const QByteArray polish = toCp1252(riga(card(1260)));  // K18: ŁUCJA
    ASSERT_EQ(polish.size(), kRecordLength);
    EXPECT_EQ(polish.mid(90, 30), QByteArray("?UCJA                         "));
}

TEST_F(PresenceRecordTest, FieldsThatDoNotFitGiveOneLinePerField)
{
    // C30 shares NumeroProgressivo 1250 with K08.
    const PresenceRecord k08 = build(QStringLiteral("NomeCliente = 'MULLER PAUL'"));
    EXPECT_EQ(k08.widthErrors, QStringLiteral("Tracciato record errato (campo 33: 10000022699) MULLER PAUL\r\n"));
    EXPECT_TRUE(k08.riga.isEmpty());
    EXPECT_FALSE(k08.ok());

    const PresenceRecord k15 = build(card(1257));
    EXPECT_EQ(k15.widthErrors, QStringLiteral("Tracciato record errato (campo 11: 100) FARINA OLGA\r\n"));
    EXPECT_TRUE(k15.riga.isEmpty());

    // Sesso Null (K05) and empty (K16) alike.
    EXPECT_EQ(build(card(1247)).widthErrors, QStringLiteral("Tracciato record errato (campo 38: ) PARISI ETTORE\r\n"));
    EXPECT_EQ(build(card(1258)).widthErrors, QStringLiteral("Tracciato record errato (campo 38: ) RINALDI ENEA\r\n"));

    // K17: empty DataArrivo; the card number still fits.
    const PresenceRecord k17 = build(card(1259));
    EXPECT_EQ(k17.widthErrors,
              QStringLiteral("Tracciato record errato (campo 2: ) GENTILE UGO\r\n"
                             "Tracciato record errato (campo 4: ) GENTILE UGO\r\n"));
    EXPECT_TRUE(k17.riga.isEmpty());
}

TEST_F(PresenceRecordTest, CodeTableFailurePassesThrough)
{
    dir_.replaceDatabase(QStringLiteral("broken/missing-table/Comuni.mdb"));
    EXPECT_THROW(build(card(1201)), db::DbError);
}
