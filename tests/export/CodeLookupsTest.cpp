// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/CodeLookups.h"

#include "db/Run.h"
#include "TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace ostelvia;
using namespace ostelvia::exporter;

// Expected codes are the CodicePS cells of tests/data/basic/src/Comuni/CodiciVari.tsv.

TEST(CodeLookups, EachKindFindsItsFirstRowOrNineBlanks)
{
    test::ScratchDir dir;
    using Lookup = QString (*)(db::Run&, const QString&);
    const Lookup comune = CodiceComune, stato = CodiceStato, sigla = CodiceStatoDaSigla;
    const QString none = QStringLiteral("         ");
    const struct {
        Lookup lookup;
        const char* input;
        QString code;
    } rows[] = {
        // The province row ROMA (300000058) comes first; CodiciVari.mdb has another ROMA.
        {comune, "  ROMA  ", QStringLiteral("405058091")},
        {comune, "ROMA", QStringLiteral("405058091")},
        {comune, "CESENA", QStringLiteral("408040007")},       // stored "CESENA ": both sides trimmed
        {comune, "SAN TEODORO", QStringLiteral("419083091")},  // two rows: the first wins
        {comune, "FORLÌ", QStringLiteral("408040012")},
        {comune, "AOSTA", none},
        {comune, "GERMANIA", none},                           // a province only, a state only
        {comune, "SAN MARINO", QStringLiteral("499999999")},  // also a state
        {comune, "LATINA", none},                             // its only municipality row has a Null CodicePS
        {comune, "PAPEROPOLI", none},
        {comune, "", none},
        {sigla, "I", QStringLiteral("100000100")},   // Sigla I is first a language row
        {sigla, "I ", none},                         // passed as it is: a blank makes another text
        {sigla, "GR", QStringLiteral("100000220")},  // stored as "gr"
        {sigla, "A", QStringLiteral("56789")},
        {sigla, "L", QStringLiteral("10000022699")},  // as stored, any length
        {sigla, "RSM", QStringLiteral("100000236")},
        {sigla, "XY", none},
        {sigla, "", none},
        {sigla, "D", QStringLiteral("100000216")},
        {stato, "GERMANIA", QStringLiteral("100000216")},
        {stato, " GERMANIA", none},
        {stato, "ROMA", none},  // a municipality is no state
        {stato, "SAN MARINO", QStringLiteral("100000236")},
        {stato, "ATLANTIDE", none},
        // Quotes are doubled, so they can neither break nor widen the criteria.
        {comune, "L'AQUILA", QStringLiteral("413066049")},
        {comune, " MONTE SANT'ANGELO ", QStringLiteral("416071033")},
        {stato, "STATI UNITI D'AMERICA", QStringLiteral("100000536")},
        {comune, "X' or Tipo = 3 or 'a'='b", none},
        {sigla, "'", none},
    };
    db::Run run;
    for (const auto& r : rows)
        EXPECT_EQ(r.lookup(run, QString::fromUtf8(r.input)), r.code) << r.input;
    EXPECT_TRUE(dir.databasesUntouched());
}

TEST(CodeLookups, EmptyCodeIsNotNoMatch)
{
    using db::Column;
    using db::Value;
    test::ScratchDir dir;
    const auto row = [](const char* name, Value code) {
        return std::vector<Value>{Value::integer(3), Value::text(QStringLiteral("XX")),
                                  Value::text(QString::fromLatin1(name)), code};
    };
    db::registerMemoryDatabase(QStringLiteral("Comuni.mdb"),
                               {{QStringLiteral("CodiciVari"),
                                 {{QStringLiteral("Tipo"), Column::Type::Integer},
                                  {QStringLiteral("Sigla"), Column::Type::Text},
                                  {QStringLiteral("Descrizione"), Column::Type::Text},
                                  {QStringLiteral("CodicePS"), Column::Type::Text}},
                                 {row("VUOTO", Value::text(QString())), row("NULLO", Value()),
                                  row("NULLO", Value::text(QStringLiteral("1")))}}});
    db::Run run;
    EXPECT_EQ(CodiceComune(run, QStringLiteral("VUOTO")), QString());
    // Only the first matching row counts, even when its code is Null.
    EXPECT_EQ(CodiceComune(run, QStringLiteral("NULLO")), kNoCode);
    db::clearMemoryDatabases();
}

TEST(CodeLookups, DatabaseFailuresPassThrough)
{
    test::ScratchDir dir;
    dir.replaceDatabase(QStringLiteral("broken/missing-table/Comuni.mdb"));
    db::Run run;
    EXPECT_THROW(CodiceComune(run, QStringLiteral("ROMA")), db::DbError);

    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("Comuni.mdb"))));
    db::Run next;
    EXPECT_THROW(CodiceStatoDaSigla(next, QStringLiteral("I")), db::DbError);
}
