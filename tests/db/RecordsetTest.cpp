// Reading the basic fixture through record sets: values, Null against the
// empty text, criteria as Jet evaluates them, and the order of the rows.
// Expected values come from tests/data/basic/src and its README.
#include "TestSupport.h"

#include "db/Database.h"
#include "db/DbInternal.h"

#include <gtest/gtest.h>

#include <vector>

using ostelvia::db::Database;
using ostelvia::db::DbError;
using ostelvia::db::Recordset;
using ostelvia::db::Value;
using ostelvia::test::ScratchDir;

namespace {

const QString kCurrentWide = QStringLiteral(
    "Select * From Scheda_Cliente Where NumeroHotel = 1 and DataPartenzaReale >= '20000101' and "
    "DataPartenzaReale <= '20240430' and Instr(Lingua,'*')=0 and NumeroCamera >= '' and NumeroCamera <= 'ZZZZZZ' "
    "Order by NumeroCamera,NumeroProgressivo;");
const QString kHistoryAllRooms =
    QStringLiteral("Select * From Scheda_Cliente Where NumeroCamera >= '' and NumeroCamera <= 'ZZZZZZ' Order by NumeroProgressivo;");
const QString kWideCriteria = QStringLiteral(
    "NumeroHotel = 1 and DataPartenzaReale >= '20000101' and DataPartenzaReale <= '20240430' and Instr(Lingua,'*')=0");

// A card's label is the start of its Note (C01, X12, ...); C33 has a Null
// Note and is named instead.
QString label(const Recordset& rs)
{
    const Value note = rs.field(QStringLiteral("Note"));
    return note.isNull() ? rs.text(QStringLiteral("NomeCliente")) : note.toText().left(3);
}

std::vector<QString> walk(Recordset& rs, const QString& criteria)
{
    std::vector<QString> labels;
    rs.findFirst(criteria);
    while (!rs.noMatch()) {
        labels.push_back(label(rs));
        rs.findNext(criteria);
    }
    return labels;
}

std::vector<QString> list(std::initializer_list<const char*> items)
{
    std::vector<QString> out;
    for (const char* s : items)
        out.push_back(QString::fromUtf8(s));
    return out;
}

class CardsTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(scratch.databasesUntouched()); }

    Recordset cards(const QString& file = QStringLiteral("Scheda_Cliente.mdb"))
    {
        db = Database::open(file);
        return db.openRecordset(QStringLiteral("Scheda_Cliente"));
    }

    ScratchDir scratch;
    Database db;
};

class CodesTest : public CardsTest {
protected:
    // The CodicePS of the first row matching, or "no match".
    QString code(const QString& criteria, const QString& set = QStringLiteral("CodiciVari"))
    {
        Database comuni = Database::open(QStringLiteral("Comuni.mdb"));
        Recordset rs = comuni.openRecordset(set);
        rs.findFirst(criteria);
        const QString result = rs.noMatch() ? QStringLiteral("no match") : rs.text(QStringLiteral("CodicePS"));
        comuni.close();
        return result;
    }
};

}  // namespace

TEST_F(CardsTest, NullAndEmptyTextAreKeptApart)
{
    Recordset rs = cards();

    rs.findFirst(QStringLiteral("DataPartenzaReale = '20240502'"));  // K01
    ASSERT_FALSE(rs.noMatch());
    EXPECT_TRUE(rs.field(QStringLiteral("NomeCliente")).isNull());
    EXPECT_EQ(rs.text(QStringLiteral("NomeCliente")), QString());
    EXPECT_EQ(rs.text(QStringLiteral("Lingua")), QStringLiteral("I"));

    rs.findFirst(QStringLiteral("NumeroProgressivo = 1199"));  // C04: empty document fields
    ASSERT_FALSE(rs.noMatch());
    for (const char* name : {"TipoDocumento", "NumeroDocumento", "DataRilascioDocumento", "AutoritaRilascioDocumento"}) {
        const Value v = rs.field(QString::fromLatin1(name));
        EXPECT_EQ(v.kind(), Value::Kind::Text) << name;
        EXPECT_EQ(v.toText(), QString()) << name;
    }

    rs.findFirst(QStringLiteral("NumeroProgressivo = 1228"));  // C33: Null texts and Null Longs
    ASSERT_FALSE(rs.noMatch());
    EXPECT_TRUE(rs.field(QStringLiteral("CapoFamiglia")).isNull());
    EXPECT_TRUE(rs.field(QStringLiteral("CodiceCapoFamiglia")).isNull());
    EXPECT_EQ(rs.field(QStringLiteral("CodiceCapoGruppo")).toNumber(), 0.0);
    EXPECT_TRUE(rs.field(QStringLiteral("Note")).isNull());
    EXPECT_TRUE(rs.field(QStringLiteral("DataPartenzaPrevista")).isNull());
    EXPECT_FALSE(rs.field(QStringLiteral("DataArrivo")).isNull());

    // T05 departs on the empty text, T06 on Null: criteria tell them apart.
    EXPECT_EQ(walk(rs, QStringLiteral("DataPartenzaReale = ''")), list({"T05"}));
    EXPECT_EQ(walk(rs, QStringLiteral("DataPartenzaReale Is Null")), list({"T06"}));
}

TEST_F(CardsTest, NumbersMemosAndAccentedLettersReadAsStored)
{
    Recordset rs = cards();
    rs.findFirst(QStringLiteral("NumeroCamera = '207'"));  // C21
    ASSERT_FALSE(rs.noMatch());
    const Value progressivo = rs.field(QStringLiteral("NumeroProgressivo"));
    EXPECT_EQ(progressivo.kind(), Value::Kind::Integer);
    EXPECT_EQ(progressivo.toText(), QStringLiteral("2147483647"));
    EXPECT_EQ(progressivo.toNumber(), 2147483647.0);
    EXPECT_EQ(rs.text(QStringLiteral("NumeroComponente")), QStringLiteral("9999999"));
    EXPECT_EQ(rs.field(QStringLiteral("NumeroHotel")), Value::integer(1));
    EXPECT_EQ(rs.text(QStringLiteral("CodIDS")), QStringLiteral("10003"));
    // Field names match without regard to letter case, as in Jet.
    EXPECT_EQ(rs.text(QStringLiteral("nomecliente")), QStringLiteral("CONTI ANDREA"));

    rs.findFirst(QStringLiteral("NumeroProgressivo = 1201"));  // C01: the whole memo
    EXPECT_EQ(rs.text(QStringLiteral("Note")),
              QStringLiteral("C01: Single guest (CapoFamiglia U) with documents; CodIDS 9999 gives stay kind 01; guest kind 16; "
                             "municipality codes of ROMA come from the municipality row, not from the province row ROMA that "
                             "precedes it (405058091)"));
    EXPECT_EQ(rs.text(QStringLiteral("Telefono")), QStringLiteral("06 5550123"));
    EXPECT_EQ(rs.text(QStringLiteral("CAP")), QStringLiteral("00183"));  // text, leading zero kept

    rs.findFirst(QStringLiteral("NumeroProgressivo = 1260"));
    EXPECT_EQ(rs.text(QStringLiteral("NomeCliente")), QStringLiteral("KOWALSKA ŁUCJA"));
    rs.findFirst(QStringLiteral("NumeroProgressivo = 1212"));
    EXPECT_EQ(rs.text(QStringLiteral("NomeCliente")), QStringLiteral("CARLÀ NICOLÒ"));
    rs.findFirst(QStringLiteral("NumeroProgressivo = 1230"));  // blanks kept on both ends
    EXPECT_EQ(rs.text(QStringLiteral("NomeCliente")), QStringLiteral("  FERRARI  PAOLO "));
}

TEST_F(CardsTest, TextComparisonIgnoresLetterCaseOnly)
{
    Recordset rs = cards();
    EXPECT_EQ(walk(rs, QStringLiteral("NomeCliente = 'rossi mario'")), list({"C01"}));
    EXPECT_EQ(walk(rs, QStringLiteral("NomeCliente = 'carlà nicolò'")), list({"C13"}));
    EXPECT_EQ(walk(rs, QStringLiteral("NomeCliente = 'kowalska łucja'")), list({"K18"}));
    EXPECT_TRUE(walk(rs, QStringLiteral("NomeCliente = 'CARLA NICOLO'")).empty());  // accents count
    EXPECT_TRUE(walk(rs, QStringLiteral("NomeCliente = 'FERRARI  PAOLO'")).empty()); // blanks count
    EXPECT_EQ(walk(rs, QStringLiteral("Trim(NomeCliente) = 'ferrari  paolo'")), list({"C35"}));
    EXPECT_EQ(walk(rs, QStringLiteral("NomeCliente = 'D''ANGELO MARIA'")), list({"C12"}));
}

TEST_F(CardsTest, InstrSkipsStarredAndNullLanguages)
{
    Recordset rs = cards();
    const auto on = [](const char* date) {
        return QStringLiteral("DataPartenzaReale = '%1' and Instr(Lingua,'*')=0").arg(QLatin1String(date));
    };
    EXPECT_TRUE(walk(rs, on("20240503")).empty());  // K02: Null Lingua
    EXPECT_TRUE(walk(rs, on("20240305")).empty());  // T01: *I
    EXPECT_TRUE(walk(rs, on("20240313")).empty());  // T02: I*
    EXPECT_TRUE(walk(rs, on("20240411")).empty());  // T08: *
    EXPECT_EQ(walk(rs, on("20240519")), list({"K18"}));
    // Without the Instr condition each of those dates does find its card.
    EXPECT_EQ(walk(rs, QStringLiteral("DataPartenzaReale = '20240503'")), list({"K02"}));
    EXPECT_EQ(walk(rs, QStringLiteral("DataPartenzaReale = '20240313'")), list({"T02"}));
    EXPECT_EQ(walk(rs, QStringLiteral("Instr(Lingua,'*') = 2")), list({"T02"}));
    EXPECT_EQ(walk(rs, QStringLiteral("Instr(Lingua,'pl') = 1")), list({"K18"}));  // letter case ignored
}

TEST_F(CardsTest, WideRangeVisitsTheCurrentCardsInRoomOrder)
{
    db = Database::open(QStringLiteral("Scheda_Cliente.mdb"));
    Recordset rs = db.openRecordset(kCurrentWide);
    EXPECT_EQ(walk(rs, kWideCriteria),
              list({"C25", "C01", "C39", "C04", "C02", "C03", "C08", "C09", "C10", "C11", "C12", "C13", "C14",
                    "C15", "C16", "C17", "C05", "C06", "C07", "C18", "C19", "C20", "C21", "C22", "C23", "C24",
                    "C26", "C27", "C28", "C30", "C29", "C31", "C32", "CATTANEO DAVIDE", "C34", "C35", "C36",
                    "C37", "C38"}));
    // The walk ended: a further find next stays without a match.
    rs.findNext(kWideCriteria);
    EXPECT_TRUE(rs.noMatch());
    EXPECT_THROW(rs.field(QStringLiteral("NomeCliente")), DbError);

    Recordset rooms = db.openRecordset(QStringLiteral(
        "Select * From Scheda_Cliente Where NumeroHotel = 1 and DataPartenzaReale >= '20000101' and "
        "DataPartenzaReale <= '20240430' and Instr(Lingua,'*')=0 and NumeroCamera >= '200' and NumeroCamera <= '299' "
        "Order by NumeroCamera,NumeroProgressivo;"));
    EXPECT_EQ(walk(rooms, kWideCriteria),
              list({"C05", "C06", "C07", "C18", "C19", "C20", "C21", "C22", "C23", "C24", "C26", "C27"}));

    Recordset family = db.openRecordset(QStringLiteral(
        "Select * From Scheda_Cliente Where NumeroHotel = 1 and DataPartenzaReale >= '20240306' and "
        "DataPartenzaReale <= '20240306' and Instr(Lingua,'*')=0 and NumeroCamera >= '102' and NumeroCamera <= '102' "
        "Order by NumeroCamera,NumeroProgressivo;"));
    EXPECT_EQ(walk(family, QStringLiteral("NumeroHotel = 1 and DataPartenzaReale >= '20240306' and "
                                          "DataPartenzaReale <= '20240306' and Instr(Lingua,'*')=0")),
              list({"C04", "C02", "C03"}));
}

TEST_F(CardsTest, HistoryPassOrdersByNumberOnly)
{
    db = Database::open(QStringLiteral("SchedaStoricoClienti.mdb"));
    Recordset rs = db.openRecordset(kHistoryAllRooms);
    EXPECT_EQ(walk(rs, kWideCriteria), list({"H03", "H01", "C16", "H04", "H06", "H05", "H07", "H08", "H09", "H10", "H20",
                                             "H19", "H18", "H17", "H14", "H13", "H11", "H16", "H15", "H02"}));
    // T11 lies in room ZZZZZZZ, past the default last room.
    EXPECT_TRUE(walk(rs, QStringLiteral("DataPartenzaReale = '20200301'")).empty());
    Recordset all = db.openRecordset(QStringLiteral("Scheda_Cliente"));
    EXPECT_EQ(walk(all, QStringLiteral("DataPartenzaReale = '20200301'")), list({"T11"}));
}

TEST_F(CardsTest, NullSortsFirstAndTiesKeepStoredOrder)
{
    db = Database::open(QStringLiteral("Scheda_Cliente.mdb"));
    Recordset byNumber = db.openRecordset(QStringLiteral("Select * From Scheda_Cliente Order by NumeroProgressivo"));
    // 1250, 1290 and 1300 are each held by two cards.
    EXPECT_EQ(walk(byNumber, QStringLiteral("NumeroProgressivo = 1250 or NumeroProgressivo Is Null")), list({"K21", "C30", "K08"}));
    EXPECT_EQ(walk(byNumber, QStringLiteral("NumeroProgressivo >= 1290 and NumeroProgressivo <= 1300")),
              list({"C16", "X27", "X28", "X29", "X30", "X31", "X32", "X33", "X34", "X35", "X36", "C29", "X37"}));
    byNumber.findFirst(QStringLiteral("NumeroHotel = 1 or NumeroHotel = 2 or NumeroHotel Is Null"));
    EXPECT_EQ(label(byNumber), QStringLiteral("K21"));

    Recordset byRoom = db.openRecordset(QStringLiteral("Select * From Scheda_Cliente Order by NumeroCamera"));
    EXPECT_EQ(walk(byRoom, QStringLiteral("NumeroCamera Is Null or NumeroCamera <= '101'")),
              list({"K03", "C25", "C01", "C39", "T01", "T03", "K01", "K13", "X01", "X13", "X25", "X37", "B02", "MA1", "MB1"}));

    Recordset descending = db.openRecordset(QStringLiteral("Select * From Scheda_Cliente Where NumeroCamera = '102' Order by NumeroProgressivo Desc"));
    EXPECT_EQ(walk(descending, QStringLiteral("NumeroHotel = 1")),
              list({"MB2", "MA2", "X38", "X26", "X14", "X02", "K14", "K02", "C03", "C02", "C04"}));
}

TEST_F(CodesTest, LookupCriteriaMatchAsJetDoes)
{
    // Trim drops the stored trailing blank; a plain comparison keeps it.
    EXPECT_EQ(code(QStringLiteral("Tipo = 3 and Trim(Descrizione) = 'cesena'")), QStringLiteral("408040007"));
    EXPECT_EQ(code(QStringLiteral("Tipo = 3 and Descrizione = 'CESENA'")), QStringLiteral("no match"));
    EXPECT_EQ(code(QStringLiteral("Tipo = 3 and Descrizione = 'cesena '")), QStringLiteral("408040007"));
    EXPECT_EQ(code(QStringLiteral("Tipo = 0 and Sigla = 'GR'")), QStringLiteral("100000220"));
    EXPECT_EQ(code(QStringLiteral("Tipo = 0 and Sigla = 'D '")), QStringLiteral("no match"));
    EXPECT_EQ(code(QStringLiteral("Tipo = 3 and Trim(Descrizione) = 'forlì'")), QStringLiteral("408040012"));
    EXPECT_EQ(code(QStringLiteral("Tipo = 3 and Trim(Descrizione) = 'FORLI'")), QStringLiteral("no match"));
    EXPECT_EQ(code(QStringLiteral("Tipo = 3 and Descrizione = 'CANTÙ'")), QStringLiteral("403013041"));
    EXPECT_EQ(code(QStringLiteral("Tipo = 0 and Descrizione = 'città del vaticano'")), QStringLiteral("100000246"));
    EXPECT_EQ(code(QStringLiteral("Tipo = 3 and Trim(Descrizione) = '") + ostelvia::db::escapeQuotes(QStringLiteral("L'AQUILA")) +
                   QStringLiteral("'")),
              QStringLiteral("413066049"));
    EXPECT_EQ(code(QStringLiteral("Tipo = 2 and Sigla = 'AQ'")), QStringLiteral("300000066"));
    // The province row ROMA precedes the municipality; each kind finds its own.
    EXPECT_EQ(code(QStringLiteral("Tipo = 3 and Trim(Descrizione) = ' ROMA '")), QStringLiteral("no match"));
    EXPECT_EQ(code(QStringLiteral("Tipo = 3 and Trim(Descrizione) = 'ROMA'")), QStringLiteral("405058091"));
    EXPECT_EQ(code(QStringLiteral("Trim(Descrizione) = 'ROMA'")), QStringLiteral("300000058"));
    // The first of two rows wins; the code is read as stored text.
    EXPECT_EQ(code(QStringLiteral("Tipo = 3 and Descrizione = 'MILANO'")), QStringLiteral("999015146"));
    EXPECT_EQ(code(QStringLiteral("Tipo = 0 and Sigla = 'L'")), QStringLiteral("10000022699"));
    EXPECT_EQ(code(QStringLiteral("Tipo = 3 and Descrizione = 'LATINA'")), QString());  // Null code reads as ""
}

TEST_F(CodesTest, SelectTextsRestrictTheSet)
{
    EXPECT_EQ(code(QStringLiteral("Sigla = 'I'"), QStringLiteral("Select * From CodiciVari Where Tipo = 0")),
              QStringLiteral("100000100"));
    EXPECT_EQ(code(QStringLiteral("Sigla = 'I'")), QStringLiteral("888000001"));  // the language row comes first
    const QString hotelCodes =
        QStringLiteral("Select * From CodiciVari Where NumeroHotel = 1 and (Tipo = 0 or Tipo = 2 or Tipo = 3)");
    EXPECT_EQ(code(QStringLiteral("Descrizione = 'AOSTA'"), hotelCodes), QStringLiteral("300000007"));
    EXPECT_EQ(code(QStringLiteral("Descrizione = 'IRLANDA'"), hotelCodes), QStringLiteral("no match"));
    EXPECT_EQ(code(QStringLiteral("Descrizione = 'GOTHAM'"), hotelCodes), QStringLiteral("no match"));
    EXPECT_EQ(code(QStringLiteral("Descrizione = 'MILANO'"), hotelCodes), QStringLiteral("300000015"));
    EXPECT_EQ(code(QStringLiteral("Descrizione = 'GOTHAM'"), QStringLiteral("Select * From CodiciVari Where Tipo = 0 or Tipo = 3")),
              QStringLiteral("no match"));
    EXPECT_EQ(code(QStringLiteral("Descrizione = 'SAN MARINO'"), QStringLiteral("Select * From CodiciVari Where Tipo = 0 or Tipo = 3")),
              QStringLiteral("100000236"));

    // find next walks the rest of a set in table order.
    Database comuni = Database::open(QStringLiteral("Comuni.mdb"));
    Recordset rs = comuni.openRecordset(QStringLiteral("Select * From CodiciVari Where Tipo = 3"));
    std::vector<QString> codes;
    const QString c = QStringLiteral("Sigla = 'mi'");
    for (rs.findFirst(c); !rs.noMatch(); rs.findNext(c))
        codes.push_back(rs.text(QStringLiteral("CodicePS")));
    EXPECT_EQ(codes, list({"999015146", "403015146", "403015209"}));
}

TEST_F(CodesTest, ReferenceTablesOpenByName)
{
    Database ps = Database::open(QStringLiteral("PSWebAll.mdb"));
    Recordset stati = ps.openRecordset(QStringLiteral("Stati"));
    stati.findFirst(QStringLiteral("ID > 0"));
    ASSERT_FALSE(stati.noMatch());
    EXPECT_EQ(stati.text(QStringLiteral("Descrizione")), QStringLiteral("ITALIA"));
    stati.findNext(QStringLiteral("ID > 0"));
    EXPECT_EQ(stati.text(QStringLiteral("Descrizione")), QStringLiteral("GERMANIA"));
    stati.findNext(QStringLiteral("ID > 0"));
    EXPECT_EQ(stati.text(QStringLiteral("Descrizione")), QStringLiteral("ISLANDA"));  // ID 6 stored before ID 3
    Recordset comuni = ps.openRecordset(QStringLiteral("comuni"));
    comuni.findFirst(QStringLiteral("Descrizione = 'forli'''"));
    ASSERT_FALSE(comuni.noMatch());
    EXPECT_EQ(comuni.text(QStringLiteral("Descrizione")), QStringLiteral("FORLI'"));
}

TEST_F(CodesTest, LookupsAndSelectionsSearchAnIndex)
{
    // Every card costs several look-ups: none may scan the code table.
    const auto comuni = ostelvia::db::detail::openFile(QStringLiteral("Comuni.mdb"));
    const auto plan = [&](const char* criteria) {
        return comuni->explainFind(QStringLiteral("CodiciVari"), QString::fromUtf8(criteria), QStringLiteral("Comuni.mdb"));
    };
    EXPECT_TRUE(plan("Tipo = 3 and Trim(Descrizione) = 'ROMA'").contains(QStringLiteral("USING INDEX"))) << qPrintable(plan("Tipo = 3 and Trim(Descrizione) = 'ROMA'"));
    EXPECT_TRUE(plan("Tipo = 3 and Trim(Descrizione) = 'ROMA'").contains(QStringLiteral("<expr>=?")));
    EXPECT_TRUE(plan("Tipo = 0 and Sigla = 'I'").contains(QStringLiteral("(Sigla=?)")));
    EXPECT_TRUE(plan("Tipo = 0 and Descrizione = 'ITALIA'").contains(QStringLiteral("(Descrizione=?)")));

    const auto cards = ostelvia::db::detail::openFile(QStringLiteral("SchedaStoricoClienti.mdb"));
    const QString selection = cards->explainFind(
        QStringLiteral("Scheda_Cliente"),
        QStringLiteral("NumeroHotel = 1 and DataPartenzaReale >= '20240801' and DataPartenzaReale <= '20240831' and Instr(Lingua,'*')=0"),
        QStringLiteral("SchedaStoricoClienti.mdb"));
    EXPECT_TRUE(selection.contains(QStringLiteral("DataPartenzaReale>?"))) << qPrintable(selection);
}
