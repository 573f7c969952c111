// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the basic fixture through record sets: values, Null against the
// empty text, criteria as Jet evaluates them, and the order of the rows.
// Expected values come from tests/data/basic/src and its README.
#include "TestSupport.h"

#include "db/Database.h"
#include "db/DbInternal.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QStringList>

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
const QString kHistoryAllRooms = QStringLiteral(
    "Select * From Scheda_Cliente Where NumeroCamera >= '' and NumeroCamera <= 'ZZZZZZ' Order by NumeroProgressivo;");
const QString kWideCriteria = QStringLiteral(
    "NumeroHotel = 1 and DataPartenzaReale >= '20000101' and DataPartenzaReale <= '20240430' and Instr(Lingua,'*')=0");

// A card's label is the start of its Note (C01, X12, ...); C33 has a Null
// Note and is named instead.
QString label(const Recordset& rs)
{
    const Value note = rs.field(QStringLiteral("Note"));
    return note.isNull() ? rs.text(QStringLiteral("NomeCliente")) : note.toText().left(3);
}

// The labels of the cards a criteria finds, in walk order, comma separated.
QString walk(Recordset& rs, const QString& criteria)
{
    QStringList labels;
    for (rs.findFirst(criteria); !rs.noMatch(); rs.findNext(criteria))
        labels << label(rs);
    return labels.join(QLatin1Char(','));
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

TEST_F(CardsTest, FieldsReadAsStoredNullApartFromTheEmptyText)
{
    Recordset rs = cards();
    const Value null;
    const auto text = [](const char* t) { return Value::text(QString::fromUtf8(t)); };
    const struct {
        const char* find;
        const char* field;
        Value value;  // its text is what text() must give, "" for Null
    } rows[] = {
        {"DataPartenzaReale = '20240502'", "NomeCliente", null},
        {"DataPartenzaReale = '20240502'", "Lingua", text("I")},  // K01
        // C04: empty document fields are texts.
        {"NumeroProgressivo = 1199", "TipoDocumento", text("")},
        {"NumeroProgressivo = 1199", "NumeroDocumento", text("")},
        {"NumeroProgressivo = 1199", "DataRilascioDocumento", text("")},
        {"NumeroProgressivo = 1199", "AutoritaRilascioDocumento", text("")},
        // C33: Null texts and Null Longs.
        {"NumeroProgressivo = 1228", "CapoFamiglia", null},
        {"NumeroProgressivo = 1228", "CodiceCapoFamiglia", null},
        {"NumeroProgressivo = 1228", "CodiceCapoGruppo", null},
        {"NumeroProgressivo = 1228", "Note", null},
        {"NumeroProgressivo = 1228", "DataPartenzaPrevista", null},
        {"NumeroProgressivo = 1228", "DataArrivo", text("20240423")},
        // C21: the largest Long; field names match in any letter case.
        {"NumeroCamera = '207'", "NumeroProgressivo", Value::integer(2147483647)},
        {"NumeroCamera = '207'", "NumeroComponente", Value::integer(9999999)},
        {"NumeroCamera = '207'", "NumeroHotel", Value::integer(1)},
        {"NumeroCamera = '207'", "CodIDS", Value::integer(10003)},
        {"NumeroCamera = '207'", "nomecliente", text("CONTI ANDREA")},
        {"NumeroProgressivo = 1201", "CAP", text("00183")},  // C01: a text, leading zero kept
        {"NumeroProgressivo = 1260", "NomeCliente", text("KOWALSKA ŁUCJA")},
        {"NumeroProgressivo = 1212", "NomeCliente", text("CARLÀ NICOLÒ")},
        {"NumeroProgressivo = 1230", "NomeCliente", text("  FERRARI  PAOLO ")},  // blanks kept on both ends
    };
    for (const auto& r : rows) {
        rs.findFirst(QString::fromUtf8(r.find));
        ASSERT_FALSE(rs.noMatch()) << r.find;
        EXPECT_EQ(rs.field(QString::fromLatin1(r.field)), r.value) << r.find << " / " << r.field;
        EXPECT_EQ(rs.text(QString::fromLatin1(r.field)), r.value.toText()) << r.find << " / " << r.field;
    }
}

TEST_F(CardsTest, AFieldNameRewrittenInPlaceNamesTheNewField)
{
    // Field names are remembered by where their text lies: the same place
    // holding another name must not read the first field again.
    Recordset rs = cards();
    rs.findFirst(QStringLiteral("NumeroProgressivo = 1201"));
    ASSERT_FALSE(rs.noMatch());
    QString name = QString::fromLatin1("Residenza");
    const QString residenza = rs.text(name);
    const QChar* const place = name.constData();
    const QString provincia = QStringLiteral("Provincia");
    std::copy(provincia.cbegin(), provincia.cend(), name.begin());
    ASSERT_EQ(name.constData(), place);
    EXPECT_EQ(rs.text(name), rs.text(QStringLiteral("Provincia")));
    EXPECT_NE(rs.text(name), residenza);
}

TEST_F(CardsTest, CriteriaFindTheCardsJetWould)
{
    Recordset rs = cards();
    const QString notStarred = QStringLiteral(" and Instr(Lingua,'*')=0");
    const struct {
        QString criteria;
        const char* labels;
    } rows[] = {
        // T05 departs on the empty text, T06 on Null.
        {QStringLiteral("DataPartenzaReale = ''"), "T05"},
        {QStringLiteral("DataPartenzaReale Is Null"), "T06"},
        // Letter case is ignored and nothing else: accents and blanks count.
        {QStringLiteral("NomeCliente = 'rossi mario'"), "C01"},
        {QStringLiteral("NomeCliente = 'carlà nicolò'"), "C13"},
        {QStringLiteral("NomeCliente = 'kowalska łucja'"), "K18"},
        {QStringLiteral("NomeCliente = 'CARLA NICOLO'"), ""},
        {QStringLiteral("NomeCliente = 'FERRARI  PAOLO'"), ""},
        {QStringLiteral("Trim(NomeCliente) = 'ferrari  paolo'"), "C35"},
        {QStringLiteral("NomeCliente = 'D''ANGELO MARIA'"), "C12"},
        // Instr skips Null (K02), "*I" (T01), "I*" (T02) and "*" (T08) languages.
        {QStringLiteral("DataPartenzaReale = '20240503'") + notStarred, ""},
        {QStringLiteral("DataPartenzaReale = '20240503'"), "K02"},
        {QStringLiteral("DataPartenzaReale = '20240305'") + notStarred, ""},
        {QStringLiteral("DataPartenzaReale = '20240313'") + notStarred, ""},
        {QStringLiteral("DataPartenzaReale = '20240411'") + notStarred, ""},
        {QStringLiteral("DataPartenzaReale = '20240313'"), "T02"},
        {QStringLiteral("DataPartenzaReale = '20240519'") + notStarred, "K18"},
        {QStringLiteral("Instr(Lingua,'*') = 2"), "T02"},
        {QStringLiteral("Instr(Lingua,'pl') = 1"), "K18"},  // letter case ignored
    };
    for (const auto& r : rows)
        EXPECT_EQ(walk(rs, r.criteria), QString::fromUtf8(r.labels)) << qPrintable(r.criteria);
}

TEST_F(CardsTest, SetsVisitCardsInTheirOrderNullFirstTiesAsStored)
{
    const QString current = QStringLiteral("Scheda_Cliente.mdb"), history = QStringLiteral("SchedaStoricoClienti.mdb");
    const QString roomsFrom200 =
        QString(kCurrentWide)
            .replace(QStringLiteral("NumeroCamera >= ''"), QStringLiteral("NumeroCamera >= '200'"))
            .replace(QStringLiteral("<= 'ZZZZZZ'"), QStringLiteral("<= '299'"));
    const struct {
        QString file, set, criteria;
        const char* labels;
    } rows[] = {
        {current, kCurrentWide, kWideCriteria,
         "C25,C01,C39,C04,C02,C03,C08,C09,C10,C11,C12,C13,C14,C15,C16,C17,C05,C06,C07,C18,C19,C20,C21,C22,C23,C24,"
         "C26,C27,C28,C30,C29,C31,C32,CATTANEO DAVIDE,C34,C35,C36,C37,C38"},
        {current, roomsFrom200, kWideCriteria, "C05,C06,C07,C18,C19,C20,C21,C22,C23,C24,C26,C27"},
        // The history pass orders by number only; T11 lies in room ZZZZZZZ, past the default last room.
        {history, kHistoryAllRooms, kWideCriteria,
         "H03,H01,C16,H04,H06,H05,H07,H08,H09,H10,H20,H19,H18,H17,H14,H13,H11,H16,H15,H02"},
        {history, kHistoryAllRooms, QStringLiteral("DataPartenzaReale = '20200301'"), ""},
        {history, QStringLiteral("Scheda_Cliente"), QStringLiteral("DataPartenzaReale = '20200301'"), "T11"},
        // 1250, 1290 and 1300 are each held by two cards.
        {current, QStringLiteral("Select * From Scheda_Cliente Order by NumeroProgressivo"),
         QStringLiteral("NumeroProgressivo = 1250 or NumeroProgressivo Is Null"), "K21,C30,K08"},
        {current, QStringLiteral("Select * From Scheda_Cliente Order by NumeroProgressivo"),
         QStringLiteral("NumeroProgressivo >= 1290 and NumeroProgressivo <= 1300"),
         "C16,X27,X28,X29,X30,X31,X32,X33,X34,X35,X36,C29,X37"},
        {current, QStringLiteral("Select * From Scheda_Cliente Order by NumeroCamera"),
         QStringLiteral("NumeroCamera Is Null or NumeroCamera <= '101'"),
         "K03,C25,C01,C39,T01,T03,K01,K13,X01,X13,X25,X37,B02,MA1,MB1"},
        {current,
         QStringLiteral("Select * From Scheda_Cliente Where NumeroCamera = '102' Order by NumeroProgressivo Desc"),
         QStringLiteral("NumeroHotel = 1"), "MB2,MA2,X38,X26,X14,X02,K14,K02,C03,C02,C04"},
    };
    for (const auto& r : rows) {
        db = Database::open(r.file);
        Recordset rs = db.openRecordset(r.set);
        EXPECT_EQ(walk(rs, r.criteria), QString::fromUtf8(r.labels))
            << qPrintable(r.set) << " / " << qPrintable(r.criteria);
        // The walk ended: a further find next stays without a match, with no row to read.
        rs.findNext(r.criteria);
        EXPECT_TRUE(rs.noMatch());
        EXPECT_THROW(rs.field(QStringLiteral("NomeCliente")), DbError);
    }
    db = Database::open(current);
    Recordset byNumber = db.openRecordset(QStringLiteral("Select * From Scheda_Cliente Order by NumeroProgressivo"));
    byNumber.findFirst(QStringLiteral("NumeroHotel = 1 or NumeroHotel = 2 or NumeroHotel Is Null"));
    EXPECT_EQ(label(byNumber), QStringLiteral("K21"));
}

TEST_F(CodesTest, LookupCriteriaAndSelectTextsMatchAsJetDoes)
{
    const QString table = QStringLiteral("CodiciVari"),
                  hotelCodes = QStringLiteral(
                      "Select * From CodiciVari Where NumeroHotel = 1 and (Tipo = 0 or Tipo = 2 or Tipo = 3)");
    const QString statesAndTowns = QStringLiteral("Select * From CodiciVari Where Tipo = 0 or Tipo = 3");
    const struct {
        QString set;
        const char* criteria;
        const char* code;
    } rows[] = {
        // Trim drops the stored trailing blank; a plain comparison keeps it.
        {table, "Tipo = 3 and Trim(Descrizione) = 'cesena'", "408040007"},
        {table, "Tipo = 3 and Descrizione = 'CESENA'", "no match"},
        {table, "Tipo = 3 and Descrizione = 'cesena '", "408040007"},
        {table, "Tipo = 0 and Sigla = 'D '", "no match"},
        {table, "Tipo = 3 and Trim(Descrizione) = 'forlì'", "408040012"},
        {table, "Tipo = 3 and Trim(Descrizione) = 'FORLI'", "no match"},
        {table, "Tipo = 3 and Descrizione = 'CANTÙ'", "403013041"},
        {table, "Tipo = 0 and Descrizione = 'città del vaticano'", "100000246"},
        {table, "Tipo = 2 and Sigla = 'AQ'", "300000066"},
        // The province row ROMA precedes the municipality; each kind finds its own.
        {table, "Tipo = 3 and Trim(Descrizione) = ' ROMA '", "no match"},
        {table, "Trim(Descrizione) = 'ROMA'", "300000058"},
        {table, "Tipo = 3 and Descrizione = 'MILANO'", "999015146"},  // the first of two rows wins
        // A select text restricts the set the criteria search.
        {QStringLiteral("Select * From CodiciVari Where Tipo = 0"), "Sigla = 'I'", "100000100"},
        {table, "Sigla = 'I'", "888000001"},  // the language row comes first
        {hotelCodes, "Descrizione = 'AOSTA'", "300000007"},
        {hotelCodes, "Descrizione = 'IRLANDA'", "no match"},
        {hotelCodes, "Descrizione = 'GOTHAM'", "no match"},
        {hotelCodes, "Descrizione = 'MILANO'", "300000015"},
        {statesAndTowns, "Descrizione = 'GOTHAM'", "no match"},
        {statesAndTowns, "Descrizione = 'SAN MARINO'", "100000236"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(code(QString::fromUtf8(r.criteria), r.set), QString::fromUtf8(r.code))
            << qPrintable(r.set) << " / " << r.criteria;

    // A look-up answers as find first, no match and the field do, asked the
    // first time or again, and for whichever field it is asked.
    Database lookups = Database::open(QStringLiteral("Comuni.mdb"));
    for (int again = 0; again < 2; ++again) {
        for (const auto& r : rows) {
            const std::optional<Value> found =
                lookups.lookUp(r.set, QString::fromUtf8(r.criteria), QStringLiteral("CodicePS"));
            EXPECT_EQ(found ? found->toText() : QStringLiteral("no match"), QString::fromUtf8(r.code))
                << qPrintable(r.set) << " / " << r.criteria;
        }
    }
    const QString aquila = QStringLiteral("Tipo = 2 and Sigla = 'AQ'");
    EXPECT_EQ(lookups.lookUp(table, aquila, QStringLiteral("Sigla"))->toText(), QStringLiteral("AQ"));
    EXPECT_THROW(lookups.lookUp(table, aquila, QStringLiteral("Nessuno")), DbError);
    // Without a match no field is read, as a find that fails reads none.
    EXPECT_FALSE(lookups.lookUp(table, QStringLiteral("Sigla = 'ZZ'"), QStringLiteral("Nessuno")).has_value());
    lookups.close();

    // find next walks the rest of a set in table order.
    Database comuni = Database::open(QStringLiteral("Comuni.mdb"));
    Recordset rs = comuni.openRecordset(QStringLiteral("Select * From CodiciVari Where Tipo = 3"));
    QStringList codes;
    const QString c = QStringLiteral("Sigla = 'mi'");
    for (rs.findFirst(c); !rs.noMatch(); rs.findNext(c))
        codes << rs.text(QStringLiteral("CodicePS"));
    EXPECT_EQ(codes.join(QLatin1Char(',')), QStringLiteral("999015146,403015146,403015209"));
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
    namespace detail = ostelvia::db::detail;
    const auto load = [](const QString& name) {
        detail::FileSignature signature;
        const QString path = detail::locate(name, &signature);
        return detail::loadFile(path, signature);
    };
    // Every card costs several look-ups: none may scan the code table.
    const auto comuni = load(QStringLiteral("Comuni.mdb"));
    const auto plan = [&](const char* criteria) {
        return comuni->explainFind(QStringLiteral("CodiciVari"), QString::fromUtf8(criteria),
                                   QStringLiteral("Comuni.mdb"));
    };
    for (const auto& [criteria, uses] : {std::pair{"Tipo = 3 and Trim(Descrizione) = 'ROMA'", "<expr>=?"},
                                         {"Tipo = 0 and Sigla = 'I'", "(Sigla=?)"},
                                         {"Tipo = 0 and Descrizione = 'ITALIA'", "(Descrizione=?)"}}) {
        const QString p = plan(criteria);
        EXPECT_TRUE(p.contains(QStringLiteral("USING INDEX")) && p.contains(QLatin1String(uses))) << qPrintable(p);
    }

    const auto cards = load(QStringLiteral("SchedaStoricoClienti.mdb"));
    const QString selection =
        cards->explainFind(QStringLiteral("Scheda_Cliente"),
                           QStringLiteral("NumeroHotel = 1 and DataPartenzaReale >= '20240801' and DataPartenzaReale "
                                          "<= '20240831' and Instr(Lingua,'*')=0"),
                           QStringLiteral("SchedaStoricoClienti.mdb"));
    EXPECT_TRUE(selection.contains(QStringLiteral("DataPartenzaReale>?"))) << qPrintable(selection);
}
