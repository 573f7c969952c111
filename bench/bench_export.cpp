// SPDX-License-Identifier: GPL-3.0-or-later
// The export run as the window makes it, on the large dataset: the month run
// in one process, and how the engine's costs grow with the size of the
// history and of the code table. Data directory as in bench_lookup.cpp.
#include "db/Run.h"
#include "export/ExportRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

using ostelvia::db::Column;
using ostelvia::db::Database;
using ostelvia::db::Recordset;
using ostelvia::db::TableData;
using ostelvia::db::Value;

namespace {

QString dataDir()
{
    const char* env = std::getenv("OSTELVIA_BENCH_DATA");
    return QDir(env && *env ? QString::fromLocal8Bit(env) : QStringLiteral("../shared/fixtures/large")).absolutePath();
}

// A scratch copy of the dataset with a settings file, entered for the run.
class Scratch {
public:
    Scratch() : previous_(QDir::currentPath())
    {
        const QDir source(dataDir());
        const QStringList files = source.entryList({QStringLiteral("*.mdb")}, QDir::Files);
        ok_ = dir_.isValid() && !files.isEmpty();
        for (const QString& name : files)
            ok_ = ok_ && QFile::copy(source.filePath(name), dir_.filePath(name));
        QFile settings(dir_.filePath(QStringLiteral("TaxSetup.txt")));
        ok_ = ok_ && settings.open(QIODevice::WriteOnly)
            && settings.write(
                   (dir_.filePath(QStringLiteral("ZaverUdevu.txt")) + QStringLiteral("\r\n\r\n")).toLocal8Bit())
                > 0;
        settings.close();
        ok_ = ok_ && QDir::setCurrent(dir_.path());
    }
    ~Scratch() { QDir::setCurrent(previous_); }
    bool ok() const { return ok_; }

private:
    QString previous_;
    QTemporaryDir dir_;
    bool ok_ = false;
};

struct AllRooms : ostelvia::exporter::RoomSource {
    QString firstRoom() const override { return {}; }
    QString lastRoom() const override { return QStringLiteral("ZZZZZZ"); }
};

double runMonth(int* written)
{
    AllRooms rooms;
    const auto start = std::chrono::steady_clock::now();
    const auto summary =
        ostelvia::exporter::CreaFileTassa(QStringLiteral("01/08/2024"), QStringLiteral("31/08/2024"), rooms);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    if (summary.outcome != ostelvia::exporter::RunSummary::Outcome::Completed)
        std::fprintf(stderr, "run did not complete: %s\n", qPrintable(summary.message));
    *written = summary.recordsWritten;
    return took.count();
}

// "&Crea File" over the month: every file read afresh, as every run reads them.
void BM_CreaFileTassaMonth(benchmark::State& state)
{
    Scratch scratch;
    if (!scratch.ok()) {
        state.SkipWithError("data directory not found");
        return;
    }
    int written = 0;
    for (auto _ : state)
        state.counters["run_ms"] = runMonth(&written);
    state.counters["records"] = written;
}
BENCHMARK(BM_CreaFileTassaMonth)->Unit(benchmark::kMillisecond)->Iterations(3);

// A history of `cards` cards: the month's selection and find as the
// export's history pass makes them, and a few fields of every selected card
// read. One card in 32 leaves in the month whatever the size, so the cost per
// stored card must stay flat as the history grows.
TableData historyOf(size_t cards)
{
    TableData table;
    table.name = QStringLiteral("Scheda_Cliente");
    table.columns = {{QStringLiteral("NumeroHotel"), Column::Type::Integer},
                     {QStringLiteral("NumeroCamera"), Column::Type::Text},
                     {QStringLiteral("NumeroProgressivo"), Column::Type::Integer},
                     {QStringLiteral("Lingua"), Column::Type::Text},
                     {QStringLiteral("DataPartenzaReale"), Column::Type::Text},
                     {QStringLiteral("NomeCliente"), Column::Type::Text},
                     {QStringLiteral("Note"), Column::Type::Text}};
    // Repeated values share one text, so a million cards fit in memory.
    std::vector<Value> dates;
    for (int month = 0; month < 32; ++month)
        for (int day = 1; day <= 28; ++day)
            dates.push_back(Value::text(QStringLiteral("%1%2%3")
                                            .arg(2022 + month / 12)
                                            .arg(month % 12 + 1, 2, 10, QLatin1Char('0'))
                                            .arg(day, 2, 10, QLatin1Char('0'))));
    std::vector<Value> rooms;
    for (int room = 0; room < 240; ++room)
        rooms.push_back(Value::text(QString::number(101 + room)));
    const Value lingua = Value::text(QStringLiteral("I"));
    const Value nome = Value::text(QStringLiteral("ROSSI MARIO"));
    const Value note = Value::text(QString(200, QLatin1Char('x')));
    table.rows.reserve(cards);
    for (size_t i = 0; i < cards; ++i) {
        // Departures spread over 32 months, 28 days each.
        const size_t date = (i % 32) * 28 + i % 28;
        table.rows.push_back({Value::integer(1 + static_cast<int>(i % 5 == 0)), rooms[i % 240],
                              Value::integer(static_cast<std::int64_t>(i)), lingua, dates[date], nome, note});
    }
    return table;
}

void BM_HistoryScaling(benchmark::State& state)
{
    const auto cards = static_cast<size_t>(state.range(0));
    const TableData table = historyOf(cards);
    const QString sql = QStringLiteral("Select * From Scheda_Cliente Where NumeroCamera >= '' and NumeroCamera <= "
                                       "'ZZZZZZ' Order by NumeroProgressivo;");
    const QString criteria = QStringLiteral("NumeroHotel = 1 and DataPartenzaReale >= '20240801' and DataPartenzaReale "
                                            "<= '20240831' and Instr(Lingua,'*')=0");
    int found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ostelvia::db::registerMemoryDatabase(QStringLiteral("Storico.mdb"), {table});
        state.ResumeTiming();
        {
            ostelvia::db::Run run;
            Database db = run.open(QStringLiteral("Storico.mdb"));
            Recordset rs = db.openRecordset(sql);
            found = 0;
            for (rs.findFirst(criteria); !rs.noMatch(); rs.findNext(criteria)) {
                benchmark::DoNotOptimize(rs.text(QStringLiteral("NomeCliente")));
                benchmark::DoNotOptimize(rs.text(QStringLiteral("NumeroCamera")));
                ++found;
            }
            state.PauseTiming();  // freeing the loaded history is not the run's cost
        }
        ostelvia::db::clearMemoryDatabases();
        state.ResumeTiming();
    }
    state.counters["selected"] = found;
    state.counters["us/card"] = benchmark::Counter(
        static_cast<double>(cards) * 1e-6, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_HistoryScaling)->Unit(benchmark::kMillisecond)->Arg(100000)->Arg(400000)->Arg(1000000)->Iterations(2);

// 10,000 municipality look-ups, as the export makes them, in a code table of
// `rows` municipalities.
void BM_LookupsByCodeTableSize(benchmark::State& state)
{
    const auto rows = static_cast<int>(state.range(0));
    TableData table;
    table.name = QStringLiteral("CodiciVari");
    table.columns = {{QStringLiteral("NumeroHotel"), Column::Type::Integer},
                     {QStringLiteral("Tipo"), Column::Type::Integer},
                     {QStringLiteral("Sigla"), Column::Type::Text},
                     {QStringLiteral("Descrizione"), Column::Type::Text},
                     {QStringLiteral("CodicePS"), Column::Type::Text}};
    for (int i = 0; i < rows; ++i)
        table.rows.push_back({Value::integer(1), Value::integer(3), Value::text(QStringLiteral("RM")),
                              Value::text(QStringLiteral("COMUNE %1 ").arg(i)),
                              Value::text(QString::number(400000000 + i))});
    int found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ostelvia::db::registerMemoryDatabase(QStringLiteral("Codici.mdb"), {table});
        // Columns copied and indexed before timing: the look-ups alone.
        ostelvia::db::Run run;
        Recordset warm = run.open(QStringLiteral("Codici.mdb")).openRecordset(QStringLiteral("CodiciVari"));
        warm.findFirst(QStringLiteral("Tipo = 3 and Trim(Descrizione) = 'A'"));
        warm.findFirst(QStringLiteral("Tipo = 3 and Trim(Descrizione) = 'B'"));
        state.ResumeTiming();
        found = 0;
        for (int i = 0; i < 10000; ++i) {
            Database db = run.open(QStringLiteral("Codici.mdb"));
            Recordset rs = db.openRecordset(QStringLiteral("CodiciVari"));
            rs.findFirst(QStringLiteral("Tipo = 3 and Trim(Descrizione) = 'COMUNE %1'")
                             .arg(static_cast<std::int64_t>(i) * 7919 % rows));
            found += rs.noMatch() ? 0 : 1;
        }
    }
    ostelvia::db::clearMemoryDatabases();
    state.counters["found"] = found;
}
BENCHMARK(BM_LookupsByCodeTableSize)->Unit(benchmark::kMillisecond)->Arg(2000)->Arg(8000)->Arg(32000)->Arg(128000);

}  // namespace
