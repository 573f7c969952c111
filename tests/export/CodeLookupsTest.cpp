// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/CodeLookups.h"

#include "db/Database.h"
#include "TestSupport.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/time.h>

using namespace ostelvia;
using namespace ostelvia::exporter;

// Expected codes are the CodicePS cells of tests/data/basic/src/Comuni/CodiciVari.tsv.

TEST(CodeLookups, EachKindFindsItsFirstRowOrNineBlanks)
{
    test::ScratchDir dir;
    using Lookup = QString (*)(const QString&);
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
    for (const auto& r : rows)
        EXPECT_EQ(r.lookup(QString::fromUtf8(r.input)), r.code) << r.input;
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

TEST(CodeLookups, ARunKeepsItsAnswersAndTheNextRunSeesTheFileChanged)
{
    test::ScratchDir dir;
    const QString none = QStringLiteral("         ");
    const QString comuni = dir.filePath(QStringLiteral("Comuni.mdb"));
    {
        const db::RunScope run;
        EXPECT_EQ(CodiceComune(QStringLiteral("ROMA")), QStringLiteral("405058091"));
        EXPECT_EQ(CodiceComune(QStringLiteral("MACONDO")), none);
        // Saved over by the front office while the run goes on.
        test::writeBytes(comuni, test::readBytes(dir.filePath(QStringLiteral("CodiciVari.mdb"))));
        const qint64 secs = QFileInfo(comuni).lastModified().toSecsSinceEpoch() + 10;
        struct timeval times[2] = {{static_cast<time_t>(secs), 0}, {static_cast<time_t>(secs), 0}};
        ASSERT_EQ(::utimes(comuni.toLocal8Bit().constData(), times), 0);
        EXPECT_EQ(CodiceComune(QStringLiteral("ROMA")), QStringLiteral("405058091"));
        EXPECT_EQ(CodiceComune(QStringLiteral("MACONDO")), none);
    }
    const db::RunScope next;
    EXPECT_EQ(CodiceComune(QStringLiteral("ROMA")), QStringLiteral("999999991"));
    EXPECT_EQ(CodiceComune(QStringLiteral("MACONDO")), QStringLiteral("499000001"));
}
