#include "export/ExportRun.h"

#include <memory>

#include "checks/CardValidation.h"
#include "db/Database.h"
#include "export/PresenceRecord.h"
#include "export/TextFiles.h"

namespace ostelvia::exporter {

QString MessaggioErrore;

namespace {

// dd/mm/yyyy to yyyymmdd by character position, without any check.
QString typedToStored(const QString& date)
{
    return date.mid(6, 4) + date.mid(3, 2) + date.mid(0, 2);
}

// The run stops on a card: its findings, or the lines of a record that does
// not fit the layout.
struct CardStop {
    QString message;
};

struct Criteria {
    QString dataDa;
    QString dataA;

    QString selection() const
    {
        return QStringLiteral("NumeroHotel = 1 and DataPartenzaReale >= '") + db::escapeQuotes(dataDa)
            + QStringLiteral("' and DataPartenzaReale <= '") + db::escapeQuotes(dataA)
            + QStringLiteral("' and Instr(Lingua,'*')=0");
    }
};

QString roomCondition(const RoomSource& camere)
{
    return QStringLiteral("NumeroCamera >= '") + db::escapeQuotes(camere.primaCamera())
        + QStringLiteral("' and NumeroCamera <= '") + db::escapeQuotes(camere.ultimaCamera())
        + QLatin1Char('\'');
}

// Cards with "*" in Lingua, with a Null date, or leaving on the day they
// arrived are validated but not exported.
bool isExported(const db::Recordset& scheda)
{
    const db::Value arrivo = scheda.field(QStringLiteral("DataArrivo"));
    const db::Value partenza = scheda.field(QStringLiteral("DataPartenzaReale"));
    if (arrivo.isNull() || partenza.isNull())
        return false;
    return !scheda.text(QStringLiteral("Lingua")).contains(QLatin1Char('*'))
        && partenza.toText() != arrivo.toText();
}

// Validates and writes every card the criteria find, in the set's order.
int walkCards(db::Recordset& schede, const QString& criteria, LineWriter& output)
{
    int written = 0;
    for (schede.findFirst(criteria); !schede.noMatch(); schede.findNext(criteria)) {
        MessaggioErrore = checks::ControllaScheda(schede);
        if (!MessaggioErrore.isEmpty())
            throw CardStop{MessaggioErrore};
        if (!isExported(schede))
            continue;
        const PresenceRecord record = CostruisciRiga(schede);
        if (!record.ok())
            throw CardStop{record.widthErrors};
        output.writeLine(record.riga);
        ++written;
    }
    return written;
}

int exportPass(const QString& databaseName, const QString& sql, const QString& criteria,
               LineWriter& output)
{
    db::Database guests = db::Database::open(databaseName);
    db::Recordset schede = guests.openRecordset(sql);
    const int written = walkCards(schede, criteria, output);
    guests.close();
    return written;
}

QString currentGuestsSql(const Criteria& criteria, const RoomSource& camere)
{
    return QStringLiteral("Select * From Scheda_Cliente Where ") + criteria.selection()
        + QStringLiteral(" and ") + roomCondition(camere)
        + QStringLiteral(" Order by NumeroCamera,NumeroProgressivo;");
}

QString historySql(const RoomSource& camere)
{
    return QStringLiteral("Select * From Scheda_Cliente Where ") + roomCondition(camere)
        + QStringLiteral(" Order by NumeroProgressivo;");
}

// Closes the export file after a stop, keeping the lines written so far;
// returns the error when even that fails.
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

    std::unique_ptr<LineWriter> output;
    try {
        summary.exportPath = readExportPath();
        const Criteria criteria{typedToStored(dataDa), typedToStored(dataA)};

        output = std::make_unique<LineWriter>(summary.exportPath);
        output->writeLine(kHeaderLine);

        db::Database rooms = db::Database::open(QStringLiteral("NumeriCamere.mdb"));
        rooms.openRecordset(QStringLiteral("NumeriCamere"));

        summary.recordsWritten += exportPass(QStringLiteral("Scheda_Cliente.mdb"),
                                             currentGuestsSql(criteria, camere), criteria.selection(), *output);
        summary.recordsWritten += exportPass(QStringLiteral("SchedaStoricoClienti.mdb"), historySql(camere),
                                             criteria.selection(), *output);
        output->close();
        RimuoviUltimoACapo(summary.exportPath);
        rooms.close();
        return summary;
    } catch (const CardStop& stopped) {
        const QString closeError = closeAfterStop(output);
        if (!closeError.isEmpty())
            return stop(summary, RunSummary::Outcome::Failed, closeError);
        return stop(summary, RunSummary::Outcome::StoppedOnCard, stopped.message);
    } catch (const Error& error) {
        closeAfterStop(output);
        return stop(summary, RunSummary::Outcome::Failed, error.message());
    }
}

}  // namespace ostelvia::exporter
