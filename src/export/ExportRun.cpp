// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ExportRun.h"

#include <memory>
#include <optional>

#include "checks/CardValidation.h"
#include "db/Run.h"
#include "export/PresenceRecord.h"
#include "export/TextFiles.h"

namespace ostelvia::exporter {

QString MessaggioErrore;

namespace {

const QString kNumeriCamere = QStringLiteral("NumeriCamere.mdb");

// The run stops on a card: its findings, or the lines of a record that does
// not fit the layout.
struct CardStop {
    QString message;
};

// Validates and writes every card the selection finds, in its order,
// counting the records written also when a card stops the run.
void writeCards(db::Run& run, const QString& dataDa, const QString& dataA, const RoomSource& camere, LineWriter& output,
                int& written)
{
    walkSelectedCards(run, dataDa, dataA, camere, [&](const QString&, const db::Recordset& scheda) {
        MessaggioErrore = checks::ControllaScheda(run, scheda);
        if (!MessaggioErrore.isEmpty())
            throw CardStop{MessaggioErrore};
        if (!isExported(scheda))
            return;
        const PresenceRecord record = CostruisciRiga(run, scheda);
        if (!record.ok())
            throw CardStop{record.widthErrors};
        output.writeLine(record.riga);
        ++written;
    });
}

// Puts the lines written before a stop in the export file's place, each
// ended by CR LF; returns the error when even that fails.
QString closeAfterStop(const std::unique_ptr<LineWriter>& output)
{
    if (!output)
        return {};
    try {
        output->close();
    } catch (const FileError& error) {
        return error.message();
    }
    return {};
}

RunSummary stop(RunSummary summary, RunSummary::Outcome outcome, const QString& message)
{
    MessaggioErrore = kFine;
    summary.outcome = outcome;
    summary.message = message;
    return summary;
}

// Writes the header and every card of one view of the files; the card that
// stopped the run, if one did.
std::optional<CardStop> writeFile(db::Run& run, const QString& dataDa, const QString& dataA, const RoomSource& camere,
                                  std::unique_ptr<LineWriter>& output, RunSummary& summary)
{
    output = std::make_unique<LineWriter>(summary.exportPath);
    output->writeLine(kHeaderLine);
    run.open(kNumeriCamere).openRecordset(QStringLiteral("NumeriCamere"));
    try {
        writeCards(run, dataDa, dataA, camere, *output, summary.recordsWritten);
    } catch (const CardStop& stopped) {
        return stopped;
    }
    return std::nullopt;
}

}  // namespace

RunSummary CreaFileTassa(const QString& dataDa, const QString& dataA, const RoomSource& camere)
{
    RunSummary summary;
    if (!fileExists(kFileImpostazioni)) {
        summary.outcome = RunSummary::Outcome::SettingsMissing;
        return summary;
    }
    // A run that finds no card must not inherit an earlier run's "Fine".
    MessaggioErrore.clear();
    removeLeftoverScratch();

    std::unique_ptr<LineWriter> output;
    try {
        summary.exportPath = readExportPath();
        const std::optional<CardStop> stopped =
            db::withSteadyView(QStringList{kNumeriCamere} + kGuestFiles + checks::checkedFiles(),
                               [&](db::Run& run) { return writeFile(run, dataDa, dataA, camere, output, summary); });
        if (stopped) {
            const QString closeError = closeAfterStop(output);
            if (!closeError.isEmpty())
                return stop(summary, RunSummary::Outcome::Failed, closeError);
            return stop(summary, RunSummary::Outcome::StoppedOnCard, stopped->message);
        }
        // The lines hold no line end of their own: dropping the last CR LF
        // leaves what RimuoviUltimoACapo would, in one writing of the file.
        output->close(LastLineEnd::Dropped);
        return summary;
    } catch (const Error& error) {
        // The export file stays as it was before the run.
        output.reset();
        summary.tryAgain = dynamic_cast<const db::FilesKeptChanging*>(&error) != nullptr;
        return stop(summary, RunSummary::Outcome::Failed, error.message());
    }
}

}  // namespace ostelvia::exporter
