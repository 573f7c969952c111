// SPDX-License-Identifier: GPL-3.0-or-later
// The check before a send: a year of monthly sends in "ArchivioInvii" (12
// files of 4,000 records) read and compared with a 4,000-line selection, of
// which half were sent before (a quarter of those with changed data).
#include "export/PresenceRecord.h"
#include "export/RecordLayout.h"
#include "export/SendArchive.h"
#include "export/TextFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace ostelvia::exporter;

namespace {

constexpr int kFiles = 12;
constexpr int kRecordsPerFile = 4000;

QString record(int month, int n, const QString& departureDay = QStringLiteral("20"))
{
    QString line(776, QLatin1Char(' '));
    const auto put = [&line](int number, const QString& value) {
        const RecordField& f = recordField(number);
        line.replace(f.start - 1, f.width, value.leftJustified(f.width, QLatin1Char(' '), true));
    };
    const QString mm = QString::number(month).rightJustified(2, QLatin1Char('0'));
    put(1, QString::number(n % 7 + 1).rightJustified(7, QLatin1Char('0')));
    put(2, QStringLiteral("2024") + mm + QStringLiteral("10"));
    put(5, QStringLiteral("2024") + mm + departureDay);
    put(8, QString::number(24000000 + month * 10000 + n).rightJustified(10, QLatin1Char('0')));
    put(13, QStringLiteral("COGNOME%1").arg(n));
    put(14, QStringLiteral("NOME"));
    put(31, QStringLiteral("405058091"));
    return line;
}

struct Year {
    QTemporaryDir dir;
    QString folder;
    QStringList selection;
    QVector<int> rows;
    ExportLines lines;

    Year()
    {
        folder = dir.filePath(kArchiveFolder);
        QDir().mkpath(folder);
        for (int month = 1; month <= kFiles; ++month) {
            QStringList lines{kHeaderLine};
            for (int n = 0; n < kRecordsPerFile; ++n)
                lines.append(record(month, n));
            const QString name = QStringLiteral("2024-%1-01_08-00-00.txt").arg(month, 2, 10, QLatin1Char('0'));
            writeText(QDir(folder).filePath(name), lines.join(kCrLf));
        }
        // December's 4,000 lines: 2,000 new, 1,500 sent as they are, 500 changed.
        selection.append(kHeaderLine);
        for (int n = 0; n < kRecordsPerFile; ++n) {
            if (n < 2000)
                selection.append(record(13, n));
            else if (n < 3500)
                selection.append(record(12, n));
            else
                selection.append(record(12, n, QStringLiteral("21")));
        }
        for (int i = 0; i < selection.size(); ++i)
            rows.append(i);
        lines = ExportLines::fromTexts(selection);
    }
};

void ArchiveCheckBeforeSend(benchmark::State& state)
{
    static Year year;
    qsizetype found = 0;
    for (auto _ : state) {
        const SendArchive archive = SendArchive::read(year.folder);
        found = findAlreadySent(archive, year.lines, year.rows).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["already_sent"] = static_cast<double>(found);
    state.counters["archived_records"] = kFiles * kRecordsPerFile;
}
BENCHMARK(ArchiveCheckBeforeSend)->Unit(benchmark::kMillisecond);

}  // namespace
