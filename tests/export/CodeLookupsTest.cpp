#include "export/CodeLookups.h"

#include "db/Database.h"
#include "TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace ostelvia;
using namespace ostelvia::exporter;

// Expected codes are the CodicePS cells of tests/data/basic/src/Comuni/CodiciVari.tsv.

TEST(CodeLookups, MunicipalityByTrimmedNameInItsOwnKind)
{
    test::ScratchDir dir;
    // The province row ROMA (300000058) comes first; CodiciVari.mdb has another ROMA.
    EXPECT_EQ(CodiceComune(QStringLiteral("  ROMA  ")), QStringLiteral("405058091"));
    EXPECT_EQ(CodiceComune(QStringLiteral("ROMA")), QStringLiteral("405058091"));
    // Stored as "CESENA " with a trailing blank: both sides are trimmed.
    EXPECT_EQ(CodiceComune(QStringLiteral("CESENA")), QStringLiteral("408040007"));
    // Two SAN TEODORO rows: the first wins.
    EXPECT_EQ(CodiceComune(QStringLiteral("SAN TEODORO")), QStringLiteral("419083091"));
    EXPECT_EQ(CodiceComune(QStringLiteral("FORLÌ")), QStringLiteral("408040012"));
    // A province only, a state only.
    EXPECT_EQ(CodiceComune(QStringLiteral("AOSTA")), kNoCode);
    EXPECT_EQ(CodiceComune(QStringLiteral("GERMANIA")), kNoCode);
}

TEST(CodeLookups, StateByNameAndByAbbreviation)
{
    test::ScratchDir dir;
    // Sigla I is first a Tipo 1 (language) row; only the state row counts.
    EXPECT_EQ(CodiceStatoDaSigla(QStringLiteral("I")), QStringLiteral("100000100"));
    EXPECT_EQ(CodiceStatoDaSigla(QStringLiteral("D")), QStringLiteral("100000216"));
    EXPECT_EQ(CodiceStato(QStringLiteral("GERMANIA")), QStringLiteral("100000216"));
    // Passed as they are: a blank makes another text.
    EXPECT_EQ(CodiceStatoDaSigla(QStringLiteral("I ")), kNoCode);
    EXPECT_EQ(CodiceStato(QStringLiteral(" GERMANIA")), kNoCode);
    // Text comparison ignores letter case: Sigla is stored as "gr".
    EXPECT_EQ(CodiceStatoDaSigla(QStringLiteral("GR")), QStringLiteral("100000220"));
    // A municipality's name is no state.
    EXPECT_EQ(CodiceStato(QStringLiteral("ROMA")), kNoCode);
    // Codes come as stored, whatever their length.
    EXPECT_EQ(CodiceStatoDaSigla(QStringLiteral("A")), QStringLiteral("56789"));
    EXPECT_EQ(CodiceStatoDaSigla(QStringLiteral("L")), QStringLiteral("10000022699"));
}

TEST(CodeLookups, NameThatIsStateAndMunicipalityIsFoundInEachKind)
{
    test::ScratchDir dir;
    EXPECT_EQ(CodiceComune(QStringLiteral("SAN MARINO")), QStringLiteral("499999999"));
    EXPECT_EQ(CodiceStato(QStringLiteral("SAN MARINO")), QStringLiteral("100000236"));
    EXPECT_EQ(CodiceStatoDaSigla(QStringLiteral("RSM")), QStringLiteral("100000236"));
}

TEST(CodeLookups, NoMatchIsExactlyNineBlanks)
{
    test::ScratchDir dir;
    for (const QString& result : {CodiceComune(QStringLiteral("PAPEROPOLI")),
                                  CodiceStato(QStringLiteral("ATLANTIDE")),
                                  CodiceStatoDaSigla(QStringLiteral("XY")), CodiceComune(QString()),
                                  CodiceStatoDaSigla(QString())}) {
        EXPECT_EQ(result, QStringLiteral("         "));
        EXPECT_EQ(result.size(), 9);
    }
    // LATINA's only municipality row has a Null CodicePS.
    EXPECT_EQ(CodiceComune(QStringLiteral("LATINA")), kNoCode);
}

TEST(CodeLookups, QuotesInNamesAreDoubled)
{
    test::ScratchDir dir;
    EXPECT_EQ(CodiceComune(QStringLiteral("L'AQUILA")), QStringLiteral("413066049"));
    EXPECT_EQ(CodiceComune(QStringLiteral(" MONTE SANT'ANGELO ")), QStringLiteral("416071033"));
    EXPECT_EQ(CodiceStato(QStringLiteral("STATI UNITI D'AMERICA")), QStringLiteral("100000536"));
    // A quote cannot widen the criteria: this matches no row, rather than every row.
    EXPECT_EQ(CodiceComune(QStringLiteral("X' or Tipo = 3 or 'a'='b")), kNoCode);
    EXPECT_EQ(CodiceStatoDaSigla(QStringLiteral("'")), kNoCode);
    EXPECT_TRUE(dir.databasesUntouched());
}

TEST(CodeLookups, EmptyCodeIsNotNoMatch)
{
    using db::Column;
    using db::Value;
    test::ScratchDir dir;
    db::registerMemoryDatabase(
        QStringLiteral("Comuni.mdb"),
        {{QStringLiteral("CodiciVari"),
          {{QStringLiteral("Tipo"), Column::Type::Integer},
           {QStringLiteral("Sigla"), Column::Type::Text},
           {QStringLiteral("Descrizione"), Column::Type::Text},
           {QStringLiteral("CodicePS"), Column::Type::Text}},
          {{Value::integer(3), Value::text(QStringLiteral("XX")), Value::text(QStringLiteral("VUOTO")),
            Value::text(QString())},
           {Value::integer(3), Value::text(QStringLiteral("XX")), Value::text(QStringLiteral("NULLO")),
            Value()},
           {Value::integer(3), Value::text(QStringLiteral("XX")), Value::text(QStringLiteral("NULLO")),
            Value::text(QStringLiteral("1"))}}}});
    EXPECT_EQ(CodiceComune(QStringLiteral("VUOTO")), QString());
    // Only the first matching row counts, even when its code is Null.
    EXPECT_EQ(CodiceComune(QStringLiteral("NULLO")), kNoCode);
    db::clearMemoryDatabases();
}

TEST(CodeLookups, DatabaseFailuresPassThrough)
{
    test::ScratchDir dir;
    dir.replaceDatabase(QStringLiteral("broken/missing-table/Comuni.mdb"));
    EXPECT_THROW(CodiceComune(QStringLiteral("ROMA")), db::DbError);

    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("Comuni.mdb"))));
    db::clearCache();
    EXPECT_THROW(CodiceStatoDaSigla(QStringLiteral("I")), db::DbError);
}
