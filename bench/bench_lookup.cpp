// SPDX-License-Identifier: GPL-3.0-or-later
// Costs of the database engine on the large dataset: loading each file,
// 10,000 municipality look-ups as the export makes them, and the walk of the
// benchmark range. Data directory: $OSTELVIA_BENCH_DATA, by default
// ../shared/fixtures/large (from the repository's root).
#include "checks/NameMatch.h"
#include "db/Run.h"

#include <QDir>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

using ostelvia::db::Database;
using ostelvia::db::Recordset;

namespace {

bool enterDataDir()
{
    static const bool ok = [] {
        const char* env = std::getenv("OSTELVIA_BENCH_DATA");
        const QString dir = env && *env ? QString::fromLocal8Bit(env) : QStringLiteral("../shared/fixtures/large");
        return QDir::setCurrent(dir);
    }();
    return ok;
}

// Municipality names spread evenly over the code table, quoted for criteria.
const QStringList& lookupNames()
{
    static const QStringList names = [] {
        QStringList all;
        Database db = Database::open(QStringLiteral("Comuni.mdb"));
        Recordset rs = db.openRecordset(QStringLiteral("CodiciVari"));
        for (rs.findFirst(QStringLiteral("Tipo = 3")); !rs.noMatch(); rs.findNext(QStringLiteral("Tipo = 3")))
            all << rs.text(QStringLiteral("Descrizione")).trimmed();
        QStringList spread;
        for (qsizetype i = 0; i < 10000 && !all.isEmpty(); ++i)
            spread << ostelvia::db::escapeQuotes(all.at(i * all.size() / 10000));
        return spread;
    }();
    return names;
}

// One look-up as the export's run makes it: open, dynaset, find first, read,
// close.
int lookUp(ostelvia::db::Run& run, const QString& name)
{
    Database db = run.open(QStringLiteral("Comuni.mdb"));
    Recordset rs = db.openRecordset(QStringLiteral("CodiciVari"));
    rs.findFirst(QStringLiteral("Tipo = 3 and Trim(Descrizione) = '") + name + QLatin1Char('\''));
    const int found = rs.noMatch() ? 0 : (rs.text(QStringLiteral("CodicePS")).isEmpty() ? 0 : 1);
    db.close();
    return found;
}

void runLookups(benchmark::State& state, bool warm)
{
    if (!enterDataDir()) {
        state.SkipWithError("data directory not found");
        return;
    }
    const QStringList& names = lookupNames();
    int found = 0;
    auto run = std::make_unique<ostelvia::db::Run>();
    for (auto _ : state) {
        if (!warm) {
            // A freshly loaded file: no find has run yet, only the table is in.
            state.PauseTiming();
            run = std::make_unique<ostelvia::db::Run>();
            run->open(QStringLiteral("Comuni.mdb")).openRecordset(QStringLiteral("CodiciVari"));
            state.ResumeTiming();
        }
        for (const QString& name : names)
            found += lookUp(*run, name);
    }
    state.counters["found"] = benchmark::Counter(found, benchmark::Counter::kAvgIterations);
    state.counters["lookups"] = static_cast<double>(names.size());
}

void BM_MunicipalityLookups_Cold(benchmark::State& state)
{
    runLookups(state, false);
}
BENCHMARK(BM_MunicipalityLookups_Cold)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_MunicipalityLookups_Warm(benchmark::State& state)
{
    runLookups(state, true);
}
BENCHMARK(BM_MunicipalityLookups_Warm)->Unit(benchmark::kMillisecond);

// Opening a file and its first table use.
void BM_LoadFile(benchmark::State& state, const char* file, const char* table)
{
    if (!enterDataDir()) {
        state.SkipWithError("data directory not found");
        return;
    }
    for (auto _ : state) {
        Database db = Database::open(QString::fromLatin1(file));
        Recordset rs = db.openRecordset(QString::fromLatin1(table));
        // Rows are selected on first use.
        rs.findFirst(QStringLiteral("1 = 1"));
        benchmark::DoNotOptimize(rs.noMatch());
    }
}
BENCHMARK_CAPTURE(BM_LoadFile, Scheda_Cliente, "Scheda_Cliente.mdb", "Scheda_Cliente")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadFile, SchedaStoricoClienti, "SchedaStoricoClienti.mdb", "Scheda_Cliente")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_LoadFile, NumeriCamere, "NumeriCamere.mdb", "NumeriCamere")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadFile, Comuni, "Comuni.mdb", "CodiciVari")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadFile, CodiciVari, "CodiciVari.mdb", "CodiciVari")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadFile, PSWebAll_Stati, "PSWebAll.mdb", "Stati")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadFile, PSWebAll_Comuni, "PSWebAll.mdb", "Comuni")->Unit(benchmark::kMillisecond);

// The selection of the export over one month: both passes, every field the
// record needs read for each card, from files already loaded.
void BM_WalkBenchmarkRange(benchmark::State& state)
{
    if (!enterDataDir()) {
        state.SkipWithError("data directory not found");
        return;
    }
    const QString criteria = QStringLiteral("NumeroHotel = 1 and DataPartenzaReale >= '20240801' and DataPartenzaReale "
                                            "<= '20240831' and Instr(Lingua,'*')=0");
    const QString current = QStringLiteral("Select * From Scheda_Cliente Where NumeroHotel = 1 and DataPartenzaReale "
                                           ">= '20240801' and DataPartenzaReale <= '20240831' "
                                           "and Instr(Lingua,'*')=0 and NumeroCamera >= '' and NumeroCamera <= "
                                           "'ZZZZZZ' Order by NumeroCamera,NumeroProgressivo;");
    const QString history = QStringLiteral("Select * From Scheda_Cliente Where NumeroCamera >= '' and NumeroCamera <= "
                                           "'ZZZZZZ' Order by NumeroProgressivo;");
    const QStringList fields = {QStringLiteral("NumeroProgressivo"),
                                QStringLiteral("NomeCliente"),
                                QStringLiteral("LuogoNascita"),
                                QStringLiteral("Residenza"),
                                QStringLiteral("DataArrivo"),
                                QStringLiteral("DataPartenzaReale"),
                                QStringLiteral("Lingua"),
                                QStringLiteral("TipoDocumento"),
                                QStringLiteral("Nazione")};
    ostelvia::db::Run run;
    const auto walk = [&] {
        int cards = 0;
        for (const auto& [file, sql] : {std::pair{QStringLiteral("Scheda_Cliente.mdb"), current},
                                        std::pair{QStringLiteral("SchedaStoricoClienti.mdb"), history}}) {
            Database db = run.open(file);
            Recordset rs = db.openRecordset(sql);
            for (rs.findFirst(criteria); !rs.noMatch(); rs.findNext(criteria)) {
                for (const QString& f : fields)
                    benchmark::DoNotOptimize(rs.text(f));
                ++cards;
            }
        }
        return cards;
    };
    const int cards = walk();  // loads both files and builds the sets once
    for (auto _ : state)
        benchmark::DoNotOptimize(walk());
    state.counters["cards"] = cards;
}
BENCHMARK(BM_WalkBenchmarkRange)->Unit(benchmark::kMillisecond);

// What 200 cards with a misspelt municipality add to a check: the code
// table's names read and keyed once, then 200 suggestions for names with one
// letter dropped. A check whose lookups all succeed pays none of it.
void BM_SuggestionsFor200Slips(benchmark::State& state)
{
    if (!enterDataDir()) {
        state.SkipWithError("data directory not found");
        return;
    }
    const QString tipo3 = QStringLiteral("Tipo = 3");
    int suggested = 0;
    for (auto _ : state) {
        std::vector<ostelvia::checks::CodeEntry> entries;
        Database db = Database::open(QStringLiteral("Comuni.mdb"));
        Recordset rs = db.openRecordset(QStringLiteral("Select * From CodiciVari Where Tipo = 3"));
        for (rs.findFirst(tipo3); !rs.noMatch(); rs.findNext(tipo3))
            entries.push_back({rs.text(QStringLiteral("Sigla")), rs.text(QStringLiteral("Descrizione"))});
        const ostelvia::checks::NameIndex index(entries);
        suggested = 0;
        for (size_t i = 0; i < 200 && !entries.empty(); ++i) {
            QString slip = entries.at(i * entries.size() / 200).descrizione.trimmed();
            slip.remove(slip.size() / 2, 1);
            suggested += index.similarNames(slip).isEmpty() ? 0 : 1;
        }
    }
    state.counters["with_suggestions"] = suggested;
}
BENCHMARK(BM_SuggestionsFor200Slips)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
