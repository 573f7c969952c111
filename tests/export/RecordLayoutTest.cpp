// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/RecordLayout.h"

#include "db/Run.h"
#include "export/CodeLookups.h"
#include "RecordLines.h"
#include "TestSupport.h"
#include "text/Cp1252.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace ostelvia;
using namespace ostelvia::exporter;
using text::fromCp1252;
using text::toCp1252;

TEST(RecordLayout, FieldsSitWhereTheFileFormatPutsThem)
{
    const struct {
        int number, start, width;
        CodeKind code;
    } rows[] = {
        {1, 1, 7, CodeKind::None},      {2, 8, 8, CodeKind::None},
        {8, 45, 10, CodeKind::None},    {13, 61, 30, CodeKind::None},
        {14, 91, 30, CodeKind::None},   {25, 354, 320, CodeKind::None},
        {26, 674, 20, CodeKind::None},  {31, 717, 9, CodeKind::Comune},
        {32, 726, 9, CodeKind::Stato},  {33, 735, 9, CodeKind::Stato},
        {34, 744, 9, CodeKind::Comune}, {35, 753, 9, CodeKind::Stato},
        {36, 762, 5, CodeKind::None},   {37, 767, 9, CodeKind::ComuneOStato},
        {38, 776, 1, CodeKind::None},
    };
    for (const auto& r : rows) {
        const RecordField& f = recordField(r.number);
        EXPECT_EQ(f.start, r.start) << r.number;
        EXPECT_EQ(f.width, r.width) << r.number;
        EXPECT_EQ(f.code, r.code) << r.number;
    }
    EXPECT_EQ(QString::fromUtf16(recordField(13).description), QStringLiteral("Cognome"));
    EXPECT_EQ(QString::fromUtf16(recordField(31).description), QStringLiteral("Codice comune di nascita"));
}

TEST(RecordLayout, EveryWrittenLineReadsBackFieldByField)
{
    const QStringList lines =
        fromCp1252(test::readBytes(test::fixtureDir() + QStringLiteral("/expected/wide-range.out")))
            .split(QStringLiteral("\r\n"));
    ASSERT_GT(lines.size(), 10);
    EXPECT_EQ(parseLine(lines.first()).kind, ParsedLine::Kind::Header);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const ParsedLine parsed = parseLine(lines.at(i));
        ASSERT_TRUE(parsed.isRecord()) << i;
        EXPECT_EQ(parsed.fields.join(QString()), lines.at(i)) << i;
        EXPECT_EQ(parsed.at(fieldNo::Arrivo), parsed.at(4)) << i;  // the arrival is written twice
    }
    const ParsedLine first = parseLine(lines.at(1));
    EXPECT_EQ(first.at(fieldNo::Cognome).trimmed(), QStringLiteral("SANTORO"));
    EXPECT_EQ(guestName(lines.at(1)), QStringLiteral("SANTORO LUIGI"));
    EXPECT_EQ(first.at(31), QStringLiteral("405058091"));
}

TEST(RecordLayout, OddLinesAreNamedNotTrusted)
{
    const QString record = test::stayLine(5023, 24001222, QStringLiteral("ROSSI"), QStringLiteral("MARIO"),
                                          QStringLiteral("20240413"), QStringLiteral("20240416"));
    const struct {
        const char* name;
        QString line;
        ParsedLine::Kind kind;
    } rows[] = {
        {"header", QStringLiteral("TBPRES01      "), ParsedLine::Kind::Header},
        {"header without its blanks", QStringLiteral("TBPRES01"), ParsedLine::Kind::Header},
        {"record", record, ParsedLine::Kind::Record},
        {"one character short", record.left(775), ParsedLine::Kind::Malformed},
        {"one character more", record + QLatin1Char('X'), ParsedLine::Kind::Malformed},
        {"empty", QString(), ParsedLine::Kind::Malformed},
        {"another header", QStringLiteral("TBPRES02      "), ParsedLine::Kind::Malformed},
    };
    for (const auto& r : rows) {
        const ParsedLine parsed = parseLine(r.line);
        EXPECT_EQ(parsed.kind, r.kind) << r.name;
        EXPECT_EQ(parsed.problem.isEmpty(), r.kind != ParsedLine::Kind::Malformed) << r.name;
        if (r.kind != ParsedLine::Kind::Header) {
            EXPECT_EQ(parsed.fields.size(), kFieldCount) << r.name;
        }
    }
    const ParsedLine shortLine = parseLine(record.left(100));
    EXPECT_TRUE(shortLine.problem.contains(QStringLiteral("100 caratteri invece di 776")));
    EXPECT_EQ(shortLine.at(14), record.mid(90, 10));  // cut where the line ends
    EXPECT_EQ(shortLine.at(38), QString());
}

TEST(RecordLayout, StoredDatesAreShownAsTyped)
{
    EXPECT_EQ(shownDate(QStringLiteral("20240413")), QStringLiteral("13/04/2024"));
    EXPECT_EQ(shownDate(QStringLiteral("2024041")), QStringLiteral("2024041"));
    EXPECT_EQ(shownDate(QStringLiteral("2024O413")), QStringLiteral("2024O413"));
    EXPECT_EQ(shownDate(QStringLiteral("        ")), QStringLiteral("        "));
}

// Names from tests/data/basic/src/Comuni/CodiciVari.tsv.
TEST(RecordLayout, CodeFieldsNameWhatTheyStandFor)
{
    test::ScratchDir dir;
    const struct {
        const char* value;
        CodeKind kind;
        const char* meaning;
    } rows[] = {
        {"405058091", CodeKind::Comune, "ROMA"},
        {"000001234", CodeKind::Comune, "VARESE"},  // stored as 1234
        {"000056789", CodeKind::Stato, "AUSTRIA"},  // stored as 56789
        {"100000215", CodeKind::Stato, "FRANCIA"},
        {"100000215", CodeKind::Comune, "codice non trovato"},  // a state's code is no municipality
        {"100000215", CodeKind::ComuneOStato, "FRANCIA"},
        {"499999999", CodeKind::ComuneOStato, "SAN MARINO"},
        {"408040007", CodeKind::Comune, "CESENA"},  // stored "CESENA "
        {"999999998", CodeKind::Stato, "codice non trovato"},
        {"         ", CodeKind::Comune, "nessun codice"},
        {"         ", CodeKind::ComuneOStato, "nessun codice"},
        {"000000000", CodeKind::Comune, "zeri: luogo fuori d'Italia"},
        {"000000000", CodeKind::Stato, "codice non trovato"},
        {"12' or '1", CodeKind::Stato, "codice non trovato"},
    };
    ostelvia::db::Run run;
    for (const auto& r : rows)
        EXPECT_EQ(codeMeaning(run, QString::fromUtf8(r.value), r.kind), QString::fromUtf8(r.meaning)) << r.value;

    QFile::remove(dir.filePath(QStringLiteral("Comuni.mdb")));
    ostelvia::db::Run next;
    EXPECT_TRUE(codeMeaning(next, QStringLiteral("405058091"), CodeKind::Comune)
                    .startsWith(QStringLiteral("nome non disponibile: ")));
}
