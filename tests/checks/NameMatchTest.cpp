// SPDX-License-Identifier: GPL-3.0-or-later
// What the code tables suggest for typical slips of a clerk, against the
// basic dataset's code tables as their sources list them.
#include <gtest/gtest.h>

#include "checks/NameMatch.h"
#include "FixtureSource.h"

namespace ostelvia::test {
namespace {

using checks::CodeEntry;
using checks::NameIndex;

// The rows of a code table whose Tipo is one of `tipi`, in table order.
NameIndex indexOf(const QString& database, std::initializer_list<int> tipi)
{
    std::vector<CodeEntry> entries;
    for (const SourceRow& row : readSource(database, QStringLiteral("CodiciVari"))) {
        const int tipo = row.at(QStringLiteral("Tipo")).toInt();
        if (std::find(tipi.begin(), tipi.end(), tipo) == tipi.end())
            continue;
        QString sigla = row.at(QStringLiteral("Sigla"));
        if (sigla == QLatin1String("\\N"))
            sigla.clear();
        entries.push_back({sigla, row.at(QStringLiteral("Descrizione"))});
    }
    return NameIndex(entries);
}

TEST(MatchKeyTest, SetsAsideCaseAccentsAndSeparators)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {QStringLiteral("Forlì"), QStringLiteral("FORLI")},
        {QStringLiteral("FORLI'"), QStringLiteral("FORLI")},
        {QStringLiteral("SANT'ANGELO"), QStringLiteral("SANTANGELO")},
        {QStringLiteral(" SANT  ANGELO "), QStringLiteral("SANTANGELO")},
        {QStringLiteral("L\u00B4AQUILA"), QStringLiteral("LAQUILA")},
        {QStringLiteral("s. giovanni-x"), QStringLiteral("SGIOVANNIX")},
        {QStringLiteral("CITTÀ"), QStringLiteral("CITTA")},
        {QStringLiteral("'\"-."), QString()},
    };
    for (const auto& [name, key] : cases)
        EXPECT_EQ(checks::matchKey(name), key) << name.toStdString();
}

TEST(EditDistanceTest, TranspositionIsOneEditAndTheLimitCuts)
{
    struct Case {
        const char* a;
        const char* b;
        int limit;
        int distance;
    };
    const Case cases[] = {
        {"ROMA", "ROMA", 2, 0},     {"ROMA", "ROAM", 2, 1}, {"PAIVA", "PAVIA", 2, 1}, {"MILAMO", "MILANO", 2, 1},
        {"CA", "AC", 2, 1},         {"", "ABC", 5, 3},      {"ABC", "", 5, 3},        {"GERMANY", "GERMANIA", 3, 2},
        {"ABCDEF", "UVWXYZ", 2, 3}, {"A", "ABCDE", 1, 2},   {"CAT", "ACT", 0, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(checks::editDistance(QString::fromUtf8(c.a), QString::fromUtf8(c.b), c.limit), c.distance)
            << c.a << " / " << c.b;
    }
}

struct Slip {
    const char* what;
    const NameIndex* index;
    bool codes;  // a code lookup failed: suggest codes
    QString typed;
    QStringList expected;
};

TEST(NameIndexTest, SuggestsWhatTheClerkProbablyMeant)
{
    const NameIndex municipalities = indexOf(QStringLiteral("Comuni"), {3});
    const NameIndex states = indexOf(QStringLiteral("Comuni"), {0});
    const NameIndex provinces = indexOf(QStringLiteral("Comuni"), {2});
    const NameIndex places = indexOf(QStringLiteral("Comuni"), {0, 3});
    const NameIndex documents = indexOf(QStringLiteral("CodiciVari"), {5});

    const Slip slips[] = {
        {"apostrophe typed as accent", &municipalities, false, QStringLiteral("FORLI'"), {QStringLiteral("FORLÌ")}},
        {"lower case, no accent", &municipalities, false, QStringLiteral("forli"), {QStringLiteral("FORLÌ")}},
        {"blank for apostrophe", &municipalities, false, QStringLiteral("L AQUILA"), {QStringLiteral("L'AQUILA")}},
        {"blank for apostrophe, long",
         &municipalities,
         false,
         QStringLiteral("MONTE SANT ANGELO"),
         {QStringLiteral("MONTE SANT'ANGELO")}},
        {"stored with a trailing blank", &municipalities, false, QStringLiteral("CESENA"), {QStringLiteral("CESENA")}},
        {"one wrong letter, name listed twice",
         &municipalities,
         false,
         QStringLiteral("MILAMO"),
         {QStringLiteral("MILANO")}},
        {"transposed letters", &municipalities, false, QStringLiteral("PAIVA"), {QStringLiteral("PAVIA")}},
        {"abbreviated word",
         &municipalities,
         false,
         QStringLiteral("SESTO S. GIOVANNI"),
         {QStringLiteral("SESTO SAN GIOVANNI")}},
        {"nothing close", &municipalities, false, QStringLiteral("PAPEROPOLI"), {}},
        {"too short to guess", &municipalities, false, QStringLiteral("OMA"), {}},
        {"empty", &municipalities, false, QString(), {}},
        {"state, missing letter", &states, false, QStringLiteral("SVIZERA"), {QStringLiteral("SVIZZERA")}},
        {"state, accent left out",
         &states,
         false,
         QStringLiteral("CITTA DEL VATICANO"),
         {QStringLiteral("CITTÀ DEL VATICANO")}},
        {"city is no state", &states, false, QStringLiteral("BERLINO"), {}},
        {"state name for its code", &states, true, QStringLiteral("GERMANIA"), {QStringLiteral("D \u2014 GERMANIA")}},
        {"code with a leading blank", &states, true, QStringLiteral(" I"), {QStringLiteral("I \u2014 ITALIA")}},
        {"code with a trailing blank", &states, true, QStringLiteral("D "), {QStringLiteral("D \u2014 GERMANIA")}},
        {"unknown code", &states, true, QStringLiteral("QQ"), {}},
        {"province name for its code",
         &provinces,
         true,
         QStringLiteral("Forli Cesena"),
         {QStringLiteral("FC \u2014 FORLÌ-CESENA")}},
        {"document type name for its code",
         &documents,
         true,
         QStringLiteral("PASSAPORTO ORDINARIO"),
         {QStringLiteral("PASOR \u2014 PASSAPORTO ORDINARIO")}},
        {"document type without apostrophe and accent",
         &documents,
         true,
         QStringLiteral("CARTA D IDENTITA"),
         {QStringLiteral("IDENT \u2014 CARTA D'IDENTITÀ")}},
        {"place of issue both state and town",
         &places,
         false,
         QStringLiteral("SAN MARINO."),
         {QStringLiteral("SAN MARINO")}},
        {"place of issue, not a state or town", &places, false, QStringLiteral("GOTHAM"), {}},
    };
    for (const Slip& slip : slips) {
        const QStringList got = slip.codes ? slip.index->codesFor(slip.typed) : slip.index->similarNames(slip.typed);
        EXPECT_EQ(got, slip.expected) << slip.what << ": " << got.join(QStringLiteral(" | ")).toStdString();
    }
}

TEST(NameIndexTest, NearestFirstAndAtMostThree)
{
    std::vector<CodeEntry> entries;
    for (const char* name : {"ROMANO", "ROMA", "ROMAGNA", "ROMAN", "ROMAS", "ROMAT"})
        entries.push_back({QString(), QString::fromUtf8(name)});
    const NameIndex index(entries);
    // ROMAX: one edit from ROMAN, ROMAS, ROMAT and ROMA; two from ROMANO.
    EXPECT_EQ(index.similarNames(QStringLiteral("ROMAX")),
              (QStringList{QStringLiteral("ROMA"), QStringLiteral("ROMAN"), QStringLiteral("ROMAS")}));
}

}  // namespace
}  // namespace ostelvia::test
