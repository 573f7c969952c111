// SPDX-License-Identifier: GPL-3.0-or-later
// Jet's text rules and values on in-memory tables: letter case ignored and
// nothing else, Instr, Null in comparisons and in Order by, numbers as text.
#include "db/JetText.h"
#include "db/Database.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <vector>

using ostelvia::db::Column;
using ostelvia::db::Database;
using ostelvia::db::DbError;
using ostelvia::db::Recordset;
using ostelvia::db::TableData;
using ostelvia::db::Value;
using ostelvia::db::detail::jetCompare;

namespace {

int sign(int v)
{
    return (v > 0) - (v < 0);
}

int compare(const char* a, const char* b)
{
    return sign(jetCompare(a, b));
}

class MemoryDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        TableData people;
        people.name = QStringLiteral("Persone");
        people.columns = {{QStringLiteral("Nome"), Column::Type::Text},
                          {QStringLiteral("Eta"), Column::Type::Integer},
                          {QStringLiteral("Quota"), Column::Type::Real}};
        const auto row = [](Value a, Value b, Value c) { return std::vector<Value>{a, b, c}; };
        people.rows = {
            row(Value::text(QStringLiteral("bruno")), Value::integer(30), Value::real(0.1)),             // 1
            row(Value::text(QStringLiteral("Anna")), Value::integer(25), Value::real(2.5)),              // 2
            row(Value(), Value::integer(40), Value::real(3)),                                            // 3
            row(Value::text(QStringLiteral("ANNA")), Value(), Value::real(-1234.5)),                     // 4
            row(Value::text(QString()), Value::integer(-7), Value()),                                    // 5
            row(Value::text(QStringLiteral("Élodie")), Value::integer(25), Value::real(1e-7)),           // 6
            row(Value::text(QStringLiteral("BRUNO ")), Value::integer(30), Value::real(100)),            // 7
            row(Value::text(QStringLiteral("élodie")), Value::integer(2147483648LL), Value::real(0.3)),  // 8
        };
        ostelvia::db::registerMemoryDatabase(QStringLiteral("Prova.mdb"), {people});
    }

    void TearDown() override { ostelvia::db::clearMemoryDatabases(); }

    // The names a walk visits, "[name]" each ("<null>" for Null), joined by commas.
    static QString names(const QString& set, const QString& criteria)
    {
        Database db = Database::open(QStringLiteral("Prova.mdb"));
        Recordset rs = db.openRecordset(set);
        QStringList out;
        for (rs.findFirst(criteria); !rs.noMatch(); rs.findNext(criteria)) {
            const Value v = rs.field(QStringLiteral("Nome"));
            out << (v.isNull() ? QStringLiteral("<null>") : QLatin1Char('[') + v.toText() + QLatin1Char(']'));
        }
        return out.join(QLatin1Char(','));
    }
};

}  // namespace

TEST(JetCollation, IgnoresLetterCaseOnly)
{
    const struct {
        const char* a;
        const char* b;
        int order;
    } rows[] = {
        {"ROMA", "roma", 0},
        {"FORLÌ", "forlì", 0},
        {"ŁUCJA", "łucja", 0},
        {"", "", 0},
        {"", "A", -1},
        {"Z", "a", 1},
        {"1005", "101", -1},
        {"S01", "ZZZZZZ", -1},
        {"ZZZZZZZ", "zzzzzz", 1},
        {"CESENA ", "CESENA", 1},  // trailing blanks count
        {"a", "B", -1},            // letters before case
    };
    for (const auto& r : rows)
        EXPECT_EQ(compare(r.a, r.b), r.order) << r.a << " / " << r.b;
    EXPECT_NE(compare("FORLI", "FORLÌ"), 0);  // accents count
}

TEST(JetCollation, IsAConsistentOrderAcrossAsciiAndAccentedText)
{
    const char* texts[] = {"",      " ",      "a", "A", "à", "À", "ab", "àb", "Àc",   "b",   "CANTU",
                           "CANTÙ", "cantù ", "Ł", "l", "m", "z", "ß",  "SS", "\xff", "\xc3"};
    for (const char* a : texts) {
        EXPECT_EQ(compare(a, a), 0) << a;
        for (const char* b : texts) {
            EXPECT_EQ(compare(a, b), -compare(b, a)) << a << " / " << b;
            for (const char* c : texts) {
                if (compare(a, b) <= 0 && compare(b, c) <= 0) {
                    EXPECT_LE(compare(a, c), 0) << a << " / " << b << " / " << c;
                }
            }
        }
    }
}

TEST(JetValues, TextOfNumbersAndNull)
{
    const std::pair<Value, const char*> texts[] = {
        {Value::integer(1234), "1234"}, {Value::integer(-7), "-7"},        {Value(), ""},
        {Value::real(0.1), "0.1"},      {Value::real(-1234.5), "-1234.5"}, {Value::real(3), "3"},
        {Value::real(0.3), "0.3"},
    };
    for (const auto& [value, text] : texts)
        EXPECT_EQ(value.toText(), QLatin1String(text)) << text;
    const std::pair<Value, double> numbers[] = {
        {Value::text(QStringLiteral("  12.5 ")), 12.5},
        {Value::text(QStringLiteral("12abc")), 0},
        {Value::text(QString()), 0},
        {Value(), 0},
        {Value::integer(2147483647), 2147483647.0},
    };
    for (const auto& [value, number] : numbers)
        EXPECT_EQ(value.toNumber(), number) << number;
    EXPECT_FALSE(Value::text(QStringLiteral("1")) == Value::integer(1));
    EXPECT_FALSE(Value() == Value::text(QString()));
    EXPECT_EQ(ostelvia::db::escapeQuotes(QStringLiteral("L'AQUILA")), QStringLiteral("L''AQUILA"));
    EXPECT_EQ(ostelvia::db::escapeQuotes(QStringLiteral("''")), QStringLiteral("''''"));
}

TEST_F(MemoryDatabase, ValuesComeBackWithTheirKinds)
{
    Database db = Database::open(QStringLiteral("PROVA.MDB"));
    Recordset rs = db.openRecordset(QStringLiteral("persone"));
    rs.findFirst(QStringLiteral("Eta = 40"));
    EXPECT_TRUE(rs.field(QStringLiteral("Nome")).isNull());
    EXPECT_EQ(rs.field(QStringLiteral("Quota")).toText(), QStringLiteral("3"));
    rs.findFirst(QStringLiteral("Eta = -7"));
    EXPECT_EQ(rs.field(QStringLiteral("Nome")), Value::text(QString()));
    EXPECT_TRUE(rs.field(QStringLiteral("Quota")).isNull());
    rs.findFirst(QStringLiteral("Quota < 0"));
    EXPECT_EQ(rs.text(QStringLiteral("QUOTA")), QStringLiteral("-1234.5"));
    EXPECT_TRUE(rs.field(QStringLiteral("Eta")).isNull());
    rs.findFirst(QStringLiteral("Quota > 0 and Quota < 0.2"));
    EXPECT_EQ(rs.text(QStringLiteral("Quota")), QStringLiteral("0.1"));
    rs.findFirst(QStringLiteral("Eta > 2147483647"));
    EXPECT_EQ(rs.text(QStringLiteral("Eta")), QStringLiteral("2147483648"));
}

TEST_F(MemoryDatabase, CriteriaAndOrderFollowJetRules)
{
    const char* all = "Eta Is Null or Eta Is Not Null";
    const struct {
        const char* set;
        const char* criteria;
        const char* names;
    } rows[] = {
        // Null never compares, not even under Not or through Instr.
        {"Persone", "Nome = ''", "[]"},
        {"Persone", "Nome <> 'anna'", "[bruno],[],[Élodie],[BRUNO ],[élodie]"},
        {"Persone", "Not (Nome = 'anna')", "[bruno],[],[Élodie],[BRUNO ],[élodie]"},
        {"Persone", "Instr(Nome,'x') = 0", "[bruno],[Anna],[ANNA],[],[Élodie],[BRUNO ],[élodie]"},
        {"Persone", "Nome Is Null", "<null>"},
        // Instr ignores letter case, takes a start position, finds "" at the start.
        {"Persone", "Instr(Nome,'N') = 2", "[Anna],[ANNA]"},
        {"Persone", "Instr(Nome,'LOD') = 2", "[Élodie],[élodie]"},
        {"Persone", "Instr(Nome,'é') = 1", "[Élodie],[élodie]"},
        {"Persone", "Instr(Nome,' ') = 6", "[BRUNO ]"},
        {"Persone", "Instr(2, Nome, 'n') = 2", "[Anna],[ANNA]"},
        {"Persone", "Instr(Nome, '') = 1", "[bruno],[Anna],[ANNA],[Élodie],[BRUNO ],[élodie]"},
        // Order by puts Null first and keeps ties in stored order.
        {"Select * From Persone Order by Nome", all, "<null>,[],[Anna],[ANNA],[bruno],[BRUNO ],[Élodie],[élodie]"},
        {"Select * From Persone Order by Eta, Nome", all, "[ANNA],[],[Anna],[Élodie],[bruno],[BRUNO ],<null>,[élodie]"},
        {"Select * From Persone Where Eta = 25 or Eta = 30 Order by Eta Desc;", all,
         "[bruno],[BRUNO ],[Anna],[Élodie]"},
        {"SELECT * FROM [Persone] WHERE Trim([Nome]) = \"Bruno\"", all, "[bruno],[BRUNO ]"},
        {"Select * From Persone Where Nome & 'x' = 'annax'", all, "[Anna],[ANNA]"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(names(QString::fromUtf8(r.set), QString::fromUtf8(r.criteria)), QString::fromUtf8(r.names))
            << r.set << " / " << r.criteria;
}

TEST_F(MemoryDatabase, FindNextMovesStrictlyForward)
{
    Database db = Database::open(QStringLiteral("Prova.mdb"));
    Recordset rs = db.openRecordset(QStringLiteral("Select * From Persone Order by Nome"));
    rs.findFirst(QStringLiteral("Nome = 'bruno'"));
    EXPECT_EQ(rs.text(QStringLiteral("Nome")), QStringLiteral("bruno"));
    // A find next with other criteria starts after the current row.
    rs.findNext(QStringLiteral("Nome = 'anna'"));
    EXPECT_TRUE(rs.noMatch());
    rs.findNext(QStringLiteral("Nome Is Not Null"));
    EXPECT_TRUE(rs.noMatch());  // nothing follows a failed find
    rs.findFirst(QStringLiteral("Nome = 'anna'"));
    rs.findNext(QStringLiteral("Eta = 30"));
    EXPECT_EQ(rs.text(QStringLiteral("Nome")), QStringLiteral("bruno"));
}
