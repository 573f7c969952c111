// SPDX-License-Identifier: GPL-3.0-or-later
// Columns copied only when an SQL text or criteria names them, rows decoded
// on first read, statements reused across literals: none of it may change
// what a set or a find returns.
#include "TestSupport.h"

#include "db/Database.h"
#include "db/TextSet.h"

#include <gtest/gtest.h>

#include <cmath>

using ostelvia::db::Column;
using ostelvia::db::Database;
using ostelvia::db::DbError;
using ostelvia::db::Recordset;
using ostelvia::db::TableData;
using ostelvia::db::Value;
using ostelvia::test::ScratchDir;

namespace {

// Stored order: ids 1..6. Kind splits them 1,2,1,2,1,2; Town is Null on id 4.
TableData towns()
{
    TableData t;
    t.name = QStringLiteral("Luoghi");
    t.columns = {{QStringLiteral("Id"), Column::Type::Integer},
                 {QStringLiteral("Kind"), Column::Type::Integer},
                 {QStringLiteral("Town"), Column::Type::Text},
                 {QStringLiteral("Code"), Column::Type::Text},
                 {QStringLiteral("Weight"), Column::Type::Real}};
    const auto row = [](int id, int kind, const char* town, const char* code, double w) {
        return std::vector<Value>{Value::integer(id), Value::integer(kind),
                                  town ? Value::text(QString::fromUtf8(town)) : Value(),
                                  Value::text(QString::fromLatin1(code)), Value::real(w)};
    };
    t.rows = {row(1, 1, "ROMA", "R1", 1.5), row(2, 2, "L'AQUILA", "A2", 2.0), row(3, 1, "MILANO", "M3", 0.25),
              row(4, 2, nullptr, "N4", -1), row(5, 1, "roma", "R5", 3.0),     row(6, 2, "FORLÌ", "F6", 4.5)};
    return t;
}

class LazyLoadingTest : public ::testing::Test {
protected:
    void SetUp() override { ostelvia::db::registerMemoryDatabase(QStringLiteral("Luoghi.mdb"), {towns()}); }
    void TearDown() override { ostelvia::db::clearMemoryDatabases(); }
};

// Ids of the rows a criteria finds, walking the set with find first / next.
QList<qint64> walk(Recordset& rs, const QString& criteria)
{
    QList<qint64> ids;
    for (rs.findFirst(criteria); !rs.noMatch(); rs.findNext(criteria))
        ids << static_cast<qint64>(rs.field(QStringLiteral("Id")).toNumber());
    return ids;
}

}  // namespace

TEST_F(LazyLoadingTest, ColumnsFirstNamedByLaterCriteriaFindTheRightRows)
{
    Database db = Database::open(QStringLiteral("Luoghi.mdb"));
    Recordset table = db.openRecordset(QStringLiteral("Luoghi"));
    // In this order: every row names a column or a text not seen before.
    const struct {
        QString criteria;
        QList<qint64> ids;
    } rows[] = {
        {QStringLiteral("Kind = 1"), {1, 3, 5}},
        {QStringLiteral("Town = 'Roma'"), {1, 5}},
        {QStringLiteral("Weight > 1 and Code <> 'F6'"), {1, 2, 5}},  // Town Null on 4 plays no part
        {QStringLiteral("Town Is Null"), {4}},
        // Same statement shape, different texts, some with quotes inside.
        {QStringLiteral("Kind = 2 and Town = 'L''AQUILA'"), {2}},
        {QStringLiteral("Kind = 2 and Town = 'FORLÌ'"), {6}},
        {QStringLiteral("Kind = 2 and Town = 'ROMA'"), {}},
        {QStringLiteral("Kind = 1 and Town = \"roma\""), {1, 5}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(walk(table, r.criteria), r.ids) << qPrintable(r.criteria);
    // Many distinct finds on one table (indexes come in on the way).
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(walk(table, QStringLiteral("Code = 'R%1'").arg(i)),
                  i == 1 || i == 5 ? QList<qint64>{i} : QList<qint64>{})
            << i;

    // A found row reads whole, as stored.
    table.findFirst(QStringLiteral("Id = 6"));
    EXPECT_EQ(table.text(QStringLiteral("Town")), QStringLiteral("FORLÌ"));
    EXPECT_EQ(table.field(QStringLiteral("Weight")), Value::real(4.5));
    EXPECT_EQ(table.field(QStringLiteral("Kind")), Value::integer(2));
    table.findFirst(QStringLiteral("Id = 4"));
    EXPECT_TRUE(table.field(QStringLiteral("Town")).isNull());
    EXPECT_EQ(table.text(QStringLiteral("CODE")), QStringLiteral("N4"));  // any letter case
}

TEST_F(LazyLoadingTest, SetSelectedOnFirstUseKeepsItsOrderAndWhere)
{
    Database db = Database::open(QStringLiteral("Luoghi.mdb"));
    // Order by a column, ties in stored order; the criteria names another column.
    Recordset rs =
        db.openRecordset(QStringLiteral("Select * From Luoghi Where Kind = 2 Or Weight < 1 Order by Kind Desc"));
    EXPECT_EQ(walk(rs, QStringLiteral("Code <> 'X'")), (QList<qint64>{2, 4, 6, 3}));
    EXPECT_EQ(walk(rs, QStringLiteral("Code = 'R1'")), QList<qint64>{});  // outside the set
    // A fresh set stands on its first row, selected when a field is read.
    Recordset fresh = db.openRecordset(QStringLiteral("Select * From Luoghi Where Kind = 1 Order by Weight Desc"));
    EXPECT_EQ(fresh.text(QStringLiteral("Code")), QStringLiteral("R5"));
    fresh.findNext(QStringLiteral("Kind = 1"));
    EXPECT_EQ(fresh.text(QStringLiteral("Code")), QStringLiteral("R1"));
    // A text that names a missing field is still refused on opening.
    EXPECT_THROW(db.openRecordset(QStringLiteral("Select * From Luoghi Where Provincia = 'RM'")), DbError);
    EXPECT_THROW(db.openRecordset(QStringLiteral("Select * From Luoghi Order by Assente")), DbError);
}

TEST_F(LazyLoadingTest, OnePassReadsWhatFindFirstAndNextWould)
{
    Database db = Database::open(QStringLiteral("Luoghi.mdb"));
    Recordset rs =
        db.openRecordset(QStringLiteral("Select * From Luoghi Where Kind = 2 Or Weight < 1 Order by Kind Desc"));
    rs.findFirst(QStringLiteral("Id = 6"));
    for (const char* criteria : {"Code <> 'X'", "Town = 'roma'", "Weight > 2", "Town Is Null", "Id = 1"}) {
        for (const char* field : {"Town", "Weight", "Code"}) {
            // Through a second set, so the first keeps its current row.
            Recordset walker = db.openRecordset(
                QStringLiteral("Select * From Luoghi Where Kind = 2 Or Weight < 1 Order by Kind Desc"));
            std::vector<Value> expected;
            for (walker.findFirst(QString::fromUtf8(criteria)); !walker.noMatch();
                 walker.findNext(QString::fromUtf8(criteria)))
                expected.push_back(walker.field(QString::fromUtf8(field)));
            EXPECT_EQ(rs.fieldOfEach(QString::fromUtf8(criteria), QString::fromUtf8(field)), expected)
                << criteria << " " << field;
        }
    }
    EXPECT_EQ(rs.text(QStringLiteral("Code")), QStringLiteral("F6"));
    EXPECT_THROW(rs.fieldOfEach(QStringLiteral("Id > 0"), QStringLiteral("Provincia")), DbError);
    EXPECT_THROW(rs.fieldOfEach(QStringLiteral("Provincia = 'RM'"), QStringLiteral("Town")), DbError);
}

TEST_F(LazyLoadingTest, TextSetAnswersAsAnEqualityCriteria)
{
    Database db = Database::open(QStringLiteral("Luoghi.mdb"));
    Recordset rs = db.openRecordset(QStringLiteral("Luoghi"));
    ostelvia::db::TextSet towns;
    for (const Value& town : rs.fieldOfEach(QStringLiteral("Town Is Not Null"), QStringLiteral("Town")))
        towns.insert(town.toText());
    for (const char* probe :
         {"ROMA", "Roma", "roma ", " roma", "L'AQUILA", "l'aquila", "FORLÌ", "forlì", "FORLI", "MILAN", "", "ROMAX"}) {
        const QString text = QString::fromUtf8(probe);
        rs.findFirst(QStringLiteral("Town = '") + ostelvia::db::escapeQuotes(text) + QLatin1Char('\''));
        EXPECT_EQ(towns.contains(text), !rs.noMatch()) << probe;
    }
    // Letters beyond Latin-1 fold too; a character outside the BMP counts as itself.
    ostelvia::db::TextSet names;
    names.insert(QString::fromUtf8("Ğemlik \U0001F600"));
    EXPECT_TRUE(names.contains(QString::fromUtf8("ğEMLIK \U0001F600")));
    EXPECT_FALSE(names.contains(QString::fromUtf8("ğEMLIK \U0001F601")));
    EXPECT_FALSE(names.contains(QString::fromUtf8("ğEMLIK ")));
    // Thousands of names, as a code list holds: each still found once the set has grown.
    for (int i = 0; i < 5000; ++i)
        names.insert(QStringLiteral("Comune %1").arg(i));
    for (int i = 0; i < 5000; ++i) {
        ASSERT_TRUE(names.contains(QStringLiteral("COMUNE %1").arg(i))) << i;
        ASSERT_FALSE(names.contains(QStringLiteral("Comune %1 ").arg(i))) << i;
    }
}

TEST(LazyLoadingFiles, MemosReadAfterOtherFieldsAndRowsReadAgainAreWhole)
{
    ScratchDir scratch;
    const QString c01Note = QStringLiteral(
        "C01: Single guest (CapoFamiglia U) with documents; CodIDS 9999 gives stay kind 01; guest kind 16; "
        "municipality codes of ROMA come from the municipality row, not from the province row ROMA that "
        "precedes it (405058091)");
    {
        Database db = Database::open(QStringLiteral("Scheda_Cliente.mdb"));
        Recordset rs = db.openRecordset(QStringLiteral("Scheda_Cliente"));
        rs.findFirst(QStringLiteral("NumeroProgressivo = 1201"));
        ASSERT_FALSE(rs.noMatch());
        // The row is decoded without its memo first; the memo comes when asked.
        EXPECT_EQ(rs.text(QStringLiteral("NomeCliente")), QStringLiteral("ROSSI MARIO"));
        EXPECT_EQ(rs.text(QStringLiteral("Note")), c01Note);
        EXPECT_EQ(rs.text(QStringLiteral("Telefono")), QStringLiteral("06 5550123"));

        // A Null memo stays Null when read after the other fields.
        rs.findFirst(QStringLiteral("NomeCliente = 'CATTANEO DAVIDE'"));
        ASSERT_FALSE(rs.noMatch());
        EXPECT_EQ(rs.text(QStringLiteral("NumeroCamera")), QStringLiteral("305"));
        EXPECT_TRUE(rs.field(QStringLiteral("Note")).isNull());
        EXPECT_TRUE(rs.field(QStringLiteral("Telefono")).isNull());
        db.close();
    }
    // Read again through another handle and set: the same values, memo
    // first this time, then the short fields.
    Database db = Database::open(QStringLiteral("Scheda_Cliente.mdb"));
    Recordset rs = db.openRecordset(QStringLiteral("Select * From Scheda_Cliente Where NumeroHotel = 1"));
    rs.findFirst(QStringLiteral("NumeroProgressivo = 1201"));
    ASSERT_FALSE(rs.noMatch());
    EXPECT_EQ(rs.text(QStringLiteral("Note")), c01Note);
    EXPECT_EQ(rs.text(QStringLiteral("NomeCliente")), QStringLiteral("ROSSI MARIO"));
    EXPECT_EQ(rs.text(QStringLiteral("LuogoNascita")), QStringLiteral("ROMA RM I"));
    rs.findFirst(QStringLiteral("NumeroProgressivo = 1206"));
    ASSERT_FALSE(rs.noMatch());
    EXPECT_EQ(rs.text(QStringLiteral("NomeCliente")), QStringLiteral("SCHMIDT KLAUS"));
    EXPECT_TRUE(rs.text(QStringLiteral("Note")).startsWith(QStringLiteral("C07: Foreign group member")));
}

TEST(LazyLoadingCopies, EveryRowArrivesWhateverItsPlaceInABatchOfTheCopy)
{
    // The copy into SQLite goes many rows at a time: tables just under, at
    // and over a batch, and with a short last batch, must all arrive whole
    // and in stored order, with Nulls, quotes and numbers as stored.
    for (const int rowCount : {1, 63, 64, 65, 130, 200}) {
        TableData t;
        t.name = QStringLiteral("Codici");
        t.columns = {{QStringLiteral("Id"), Column::Type::Integer},
                     {QStringLiteral("Name"), Column::Type::Text},
                     {QStringLiteral("Weight"), Column::Type::Real},
                     {QStringLiteral("Code"), Column::Type::Text}};
        for (int id = 1; id <= rowCount; ++id) {
            const Value name = id % 7 == 0 ? Value() : Value::text(QStringLiteral("L'%1").arg(id));
            t.rows.push_back(
                {Value::integer(id), name, Value::real(id / 4.0), Value::text(QStringLiteral("C%1").arg(id))});
        }
        ostelvia::db::registerMemoryDatabase(QStringLiteral("Codici.mdb"), {t});
        Database db = Database::open(QStringLiteral("Codici.mdb"));
        Recordset rs = db.openRecordset(QStringLiteral("Select * From Codici Where Weight >= 0 Order by Id"));
        // Name and Weight go through SQLite; Code, named by no text, is read
        // straight from the source for every row at once.
        const std::vector<Value> codes =
            rs.fieldOfEach(QStringLiteral("Name Is Not Null or Name Is Null"), QStringLiteral("Code"));
        ASSERT_EQ(static_cast<int>(codes.size()), rowCount);
        for (int id = 1; id <= rowCount; ++id) {
            EXPECT_EQ(codes[static_cast<size_t>(id - 1)].toText(), QStringLiteral("C%1").arg(id)) << rowCount;
            rs.findFirst(QStringLiteral("Id = %1").arg(id));
            ASSERT_FALSE(rs.noMatch()) << rowCount << " / " << id;
            EXPECT_EQ(rs.field(QStringLiteral("Name")), t.rows[static_cast<size_t>(id - 1)][1])
                << rowCount << " / " << id;
            EXPECT_EQ(rs.field(QStringLiteral("Weight")).toNumber(), id / 4.0) << rowCount << " / " << id;
        }
        rs.findFirst(QStringLiteral("Name = 'L''%1'").arg(rowCount == 1 ? 1 : rowCount - 1));
        EXPECT_EQ(rs.noMatch(), (rowCount == 1 ? 1 : rowCount - 1) % 7 == 0) << rowCount;
        db.close();
        ostelvia::db::clearMemoryDatabases();
    }
}

TEST(LazyLoadingCopies, AColumnHeldFromItsCopyReadsAsSqliteKeepsIt)
{
    // A memory table may hold a number in a text column; SQLite keeps it as
    // text of its own making, and every row found must read as it does,
    // whether the column comes back from SQLite or from the copy's scan.
    TableData t;
    t.name = QStringLiteral("Codici");
    t.columns = {{QStringLiteral("Id"), Column::Type::Integer},
                 {QStringLiteral("Code"), Column::Type::Text},
                 {QStringLiteral("Weight"), Column::Type::Real}};
    t.rows = {{Value::integer(1), Value::text(QStringLiteral("C1")), Value::real(1.5)},
              {Value::integer(2), Value::real(0.1 + 0.2), Value::real(std::nan(""))},
              {Value::integer(3), Value::integer(7), Value::real(2)},
              {Value::integer(4), Value(), Value()}};
    ostelvia::db::registerMemoryDatabase(QStringLiteral("Codici.mdb"), {t});
    Database db = Database::open(QStringLiteral("Codici.mdb"));
    Recordset rs = db.openRecordset(QStringLiteral("Codici"));
    const std::vector<Value> codes = rs.fieldOfEach(QStringLiteral("Code Is Not Null"), QStringLiteral("Code"));
    EXPECT_EQ(codes,
              (std::vector<Value>{Value::text(QStringLiteral("C1")), Value::text(QStringLiteral("0.3")),
                                  Value::text(QStringLiteral("7"))}));
    // A column the criteria does not name is read as the source gives it.
    const std::vector<Value> ids = rs.fieldOfEach(QStringLiteral("Code Is Not Null"), QStringLiteral("Id"));
    EXPECT_EQ(ids, (std::vector<Value>{Value::integer(1), Value::integer(2), Value::integer(3)}));
    // SQLite keeps a NaN as Null.
    const std::vector<Value> weights = rs.fieldOfEach(QStringLiteral("Weight Is Null"), QStringLiteral("Weight"));
    EXPECT_EQ(weights, (std::vector<Value>{Value(), Value()}));
    db.close();
    ostelvia::db::clearMemoryDatabases();
}
