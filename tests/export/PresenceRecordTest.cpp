#include "export/PresenceRecord.h"

#include "db/Database.h"
#include "export/CodeLookups.h"
#include "export/Cp1252.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>

using namespace ostelvia;
using namespace ostelvia::exporter;

// Expected values are worked out from tests/data/basic/README.md and the
// card and code rows of tests/data/basic/src/*.tsv.

namespace {

// Start (1-based) and width of fields 1 to 38.
constexpr std::array<std::pair<int, int>, 39> kLayout = {{
    {0, 0},      {1, 7},     {8, 8},     {16, 6},    {22, 8},    {30, 8},    {38, 6},
    {44, 1},     {45, 10},   {55, 1},    {56, 1},    {57, 2},    {59, 2},    {61, 30},
    {91, 30},    {121, 16},  {137, 8},   {145, 35},  {180, 2},   {182, 35},  {217, 60},
    {277, 5},    {282, 35},  {317, 2},   {319, 35},  {354, 320}, {674, 20},  {694, 10},
    {704, 8},    {712, 3},   {715, 2},   {717, 9},   {726, 9},   {735, 9},   {744, 9},
    {753, 9},    {762, 5},   {767, 9},   {776, 1},
}};

QString field(const QString& riga, int n)
{
    return riga.mid(kLayout[n].first - 1, kLayout[n].second);
}

QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

QString padded(const QString& text, int width)
{
    return text + blanks(width - static_cast<int>(text.size()));
}

PresenceRecord build(const QString& criteria,
                     const QString& file = QStringLiteral("Scheda_Cliente.mdb"))
{
    db::Database guests = db::Database::open(file);
    db::Recordset cards = guests.openRecordset(QStringLiteral("Scheda_Cliente"));
    cards.findFirst(criteria);
    if (cards.noMatch()) {
        ADD_FAILURE() << "no card for " << criteria.toStdString();
        return {};
    }
    PresenceRecord record = CostruisciRiga(cards);
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

TEST(PresenceRecordLayout, FieldsTileTheRecord)
{
    int next = 1;
    for (int n = 1; n <= 38; ++n) {
        EXPECT_EQ(kLayout[n].first, next) << "field " << n;
        next += kLayout[n].second;
    }
    EXPECT_EQ(next - 1, kRecordLength);
}

TEST_F(PresenceRecordTest, SingleItalianGuestWholeRecord)
{
    // C01: ROSSI MARIO, NumeroProgressivo 1201, arrival 20240301.
    const QString expected =
        QStringLiteral("0005001") + "20240301" + "180000" + "20240301" + "20240304" + "100000" +
        "0" + "0024001201" + "0" + "0" + "01" + "01" + padded("ROSSI", 30) +
        padded("MARIO", 30) + blanks(16) + "19750412" + blanks(35) + "RM" + blanks(35) +
        padded("VIA APPIA NUOVA 12", 60) + "00183" + blanks(35) + "RM" + blanks(35) +
        blanks(320) + padded("AX1234567", 20) + blanks(10) + "20190315" + "000" + "16" +
        "405058091" + "100000100" + "100000100" + "405058091" + "100000100" + "IDENT" +
        "405058091" + "M";
    ASSERT_EQ(expected.size(), kRecordLength);
    EXPECT_EQ(riga(card(1201)), expected);
    EXPECT_TRUE(dir_.databasesUntouched());
}

TEST_F(PresenceRecordTest, HeadOfFamilyUsesTheFirstMatchingRow)
{
    const QString r = riga(card(1202));  // C02
    EXPECT_EQ(field(r, 11), QStringLiteral("03"));
    EXPECT_EQ(field(r, 30), QStringLiteral("17"));
    EXPECT_EQ(field(r, 18), QStringLiteral("TO"));
    EXPECT_EQ(field(r, 31), QStringLiteral("401001272"));
    EXPECT_EQ(field(r, 23), QStringLiteral("MI"));
    // The first MILANO municipality row belongs to hotel 2; lookups do not filter.
    EXPECT_EQ(field(r, 34), QStringLiteral("999015146"));
    EXPECT_EQ(field(r, 37), QStringLiteral("999015146"));
}

TEST_F(PresenceRecordTest, ForeignGuestGetsStateCodesAndZeros)
{
    const QString c07 = riga(card(1206));  // born GERMANIA EE D, group member
    EXPECT_EQ(field(c07, 11), QStringLiteral("12"));
    EXPECT_EQ(field(c07, 18), QStringLiteral("EE"));
    EXPECT_EQ(field(c07, 23), QStringLiteral("  "));
    EXPECT_EQ(field(c07, 28), QStringLiteral("20180620"));
    EXPECT_EQ(field(c07, 30), QStringLiteral("20"));
    EXPECT_EQ(field(c07, 31), QStringLiteral("000000000"));
    EXPECT_EQ(field(c07, 32), QStringLiteral("100000216"));
    EXPECT_EQ(field(c07, 33), QStringLiteral("100000216"));
    EXPECT_EQ(field(c07, 34), QStringLiteral("000000000"));
    EXPECT_EQ(field(c07, 35), QStringLiteral("100000216"));
    EXPECT_EQ(field(c07, 36), QStringLiteral("PASOR"));
    // GERMANIA is no municipality: the place of issue falls back to the state.
    EXPECT_EQ(field(c07, 37), QStringLiteral("100000216"));

    const QString c08 = riga(card(1207));  // DUPONT JEAN PIERRE, born FRANCIA XX F
    EXPECT_EQ(field(c08, 11), QStringLiteral("00"));
    EXPECT_EQ(field(c08, 13), padded(QStringLiteral("DUPONT JEAN"), 30));
    EXPECT_EQ(field(c08, 14), padded(QStringLiteral("PIERRE"), 30));
    EXPECT_EQ(field(c08, 18), QStringLiteral("XX"));
    EXPECT_EQ(field(c08, 20), padded(QStringLiteral("RUE DE LA RÉPUBLIQUE 21"), 60));
    EXPECT_EQ(field(c08, 31), QStringLiteral("000000000"));
    EXPECT_EQ(field(c08, 32), QStringLiteral("100000215"));
    EXPECT_EQ(field(c08, 37), QStringLiteral("100000215"));
}

TEST_F(PresenceRecordTest, NamesAreSplitCutAndFilled)
{
    const QString c09 = riga(card(1208));  // ^ESPOSITO CIRO
    EXPECT_EQ(field(c09, 13), padded(QStringLiteral("ESPOSITO"), 30));
    EXPECT_EQ(field(c09, 14), padded(QStringLiteral("CIRO"), 30));

    const QString c10 = riga(card(1209));
    EXPECT_EQ(field(c10, 13), QStringLiteral("DELLA GHERARDESCA SANTAMARIA A"));
    EXPECT_EQ(field(c10, 14), padded(QStringLiteral("BEATRICE"), 30));

    const QString c11 = riga(card(1210));
    EXPECT_EQ(field(c11, 13), padded(QStringLiteral("ROSSI"), 30));
    EXPECT_EQ(field(c11, 14), QStringLiteral("GIOVANNI-BATTISTA-MARIA-FRANCE"));
}

TEST_F(PresenceRecordTest, ApostrophesStayInTextAndMatchInLookups)
{
    const QString r = riga(card(1211));  // C12
    EXPECT_EQ(field(r, 13), padded(QStringLiteral("D'ANGELO"), 30));
    EXPECT_EQ(field(r, 14), padded(QStringLiteral("MARIA"), 30));
    EXPECT_EQ(field(r, 18), QStringLiteral("FG"));
    EXPECT_EQ(field(r, 20), padded(QStringLiteral("VIA DELL'ARCO 3"), 60));
    EXPECT_EQ(field(r, 31), QStringLiteral("416071033"));
    EXPECT_EQ(field(r, 34), QStringLiteral("413066049"));
    EXPECT_EQ(field(r, 37), QStringLiteral("413066049"));
}

TEST_F(PresenceRecordTest, AccentedLettersKeepOneBytePerCharacter)
{
    const QString r = riga(card(1212));  // C13: CARLÀ NICOLÒ, FORLÌ FC I, CANTÙ
    EXPECT_EQ(field(r, 13), padded(QStringLiteral("CARLÀ"), 30));
    EXPECT_EQ(field(r, 14), padded(QStringLiteral("NICOLÒ"), 30));
    EXPECT_EQ(field(r, 31), QStringLiteral("408040012"));
    EXPECT_EQ(field(r, 34), QStringLiteral("403013041"));
    EXPECT_EQ(field(r, 37), QStringLiteral("408040012"));
    const QByteArray bytes = toCp1252(r);
    ASSERT_EQ(bytes.size(), kRecordLength);
    EXPECT_EQ(bytes.at(64), '\xC0');  // À at position 65
}

TEST_F(PresenceRecordTest, ShortCodesAreZeroFilled)
{
    const QString r = riga(card(1213));  // C14: AUSTRIA EE A, resident of VARESE
    EXPECT_EQ(field(r, 11), QStringLiteral("05"));
    EXPECT_EQ(field(r, 31), QStringLiteral("000000000"));
    EXPECT_EQ(field(r, 32), QStringLiteral("000056789"));
    EXPECT_EQ(field(r, 33), QStringLiteral("000056789"));
    EXPECT_EQ(field(r, 34), QStringLiteral("000001234"));
    EXPECT_EQ(field(r, 35), QStringLiteral("100000100"));
    EXPECT_EQ(field(r, 37), QStringLiteral("000056789"));
}

TEST_F(PresenceRecordTest, StateAndMunicipalityOfTheSameName)
{
    const QString r = riga(card(1215));  // C17: SAN MARINO EE RSM
    EXPECT_EQ(field(r, 31), QStringLiteral("000000000"));
    EXPECT_EQ(field(r, 32), QStringLiteral("100000236"));
    EXPECT_EQ(field(r, 33), QStringLiteral("100000236"));
    EXPECT_EQ(field(r, 34), QStringLiteral("000000000"));
    EXPECT_EQ(field(r, 35), QStringLiteral("100000236"));
    EXPECT_EQ(field(r, 37), QStringLiteral("499999999"));
}

TEST_F(PresenceRecordTest, FieldsAreCutBeforeTheyAreTrimmed)
{
    const QString r = riga(card(1218));  // C20
    // Three blanks and the address: the first 60 characters end inside LEGALE.
    EXPECT_EQ(field(r, 20),
              padded(QStringLiteral("VIA DEI MILLE 14, SCALA B, INTERNO 9, PRESSO STUDIO LEGAL"), 60));
    EXPECT_EQ(field(r, 21), QStringLiteral("0010 "));
    EXPECT_EQ(field(r, 23), QStringLiteral("R "));
    EXPECT_EQ(field(r, 26), padded(QStringLiteral(" AB1234567"), 20));
    EXPECT_EQ(field(r, 36), QStringLiteral("PATEN"));
}

TEST_F(PresenceRecordTest, CardNumberBeyondThirtyTwoBits)
{
    const QString c21 = riga(card(2147483647));
    EXPECT_EQ(field(c21, 1), QStringLiteral("9999999"));
    EXPECT_EQ(field(c21, 8), QStringLiteral("2171483647"));

    // H01: arrival 20120131, NumeroProgressivo 345.
    const QString h01 = riga(card(345), QStringLiteral("SchedaStoricoClienti.mdb"));
    EXPECT_EQ(field(h01, 8), QStringLiteral("0012000345"));
    EXPECT_EQ(field(h01, 2), QStringLiteral("20120131"));

    // K21: Null NumeroProgressivo counts as 0; arrival 20240519.
    const QString k21 = riga(QStringLiteral("NomeCliente = 'SORRENTINO MIA'"));
    EXPECT_EQ(field(k21, 8), QStringLiteral("0024000000"));
}

TEST_F(PresenceRecordTest, FailedLookupsLeaveNineBlanks)
{
    // C27: place of issue " GERMANIA" is looked up by name as stored.
    const QString c27 = riga(card(1224));
    EXPECT_EQ(field(c27, 37), blanks(9));
    EXPECT_EQ(field(c27, 32), QStringLiteral("100000216"));

    // K07: LATINA's CodicePS is Null, which is no match; nor is LATINA a state.
    const QString k07 = riga(card(1249));
    EXPECT_EQ(field(k07, 31), blanks(9));
    EXPECT_EQ(field(k07, 34), blanks(9));
    EXPECT_EQ(field(k07, 37), blanks(9));
    EXPECT_EQ(field(k07, 32), QStringLiteral("100000100"));
}

TEST_F(PresenceRecordTest, LetterOutsideTheCodePageIsOneQuestionMark)
{
    const QString r = riga(card(1260));  // K18: KOWALSKA ŁUCJA
    EXPECT_EQ(field(r, 14), padded(QStringLiteral("ŁUCJA"), 30));
    const QByteArray bytes = toCp1252(r);
    ASSERT_EQ(bytes.size(), kRecordLength);
    EXPECT_EQ(bytes.mid(90, 30), QByteArray("?UCJA                         "));
}

TEST_F(PresenceRecordTest, FieldsThatDoNotFitGiveOneLinePerField)
{
    // C30 shares NumeroProgressivo 1250 with K08.
    const PresenceRecord k08 = build(QStringLiteral("NomeCliente = 'MULLER PAUL'"));
    EXPECT_EQ(k08.widthErrors,
              QStringLiteral("Tracciato record errato (campo 33: 10000022699) MULLER PAUL\r\n"));
    EXPECT_TRUE(k08.riga.isEmpty());
    EXPECT_FALSE(k08.ok());

    const PresenceRecord k15 = build(card(1257));
    EXPECT_EQ(k15.widthErrors,
              QStringLiteral("Tracciato record errato (campo 11: 100) FARINA OLGA\r\n"));
    EXPECT_TRUE(k15.riga.isEmpty());

    // Sesso Null (K05) and empty (K16) alike.
    EXPECT_EQ(build(card(1247)).widthErrors,
              QStringLiteral("Tracciato record errato (campo 38: ) PARISI ETTORE\r\n"));
    EXPECT_EQ(build(card(1258)).widthErrors,
              QStringLiteral("Tracciato record errato (campo 38: ) RINALDI ENEA\r\n"));

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
