// SPDX-License-Identifier: GPL-3.0-or-later
// ostelvia-export: the export run without windows, for automation and checks.
// Runs in the front-office directory: the one given with --dir, else the
// current one.
#include <QCoreApplication>
#include <QDir>
#include <QStringList>

#include <clocale>
#include <optional>
#include <set>

#include "checks/TypedRange.h"
#include "export/CardCheck.h"
#include "export/CheckOutput.h"
#include "export/CodeList.h"
#include "export/ExportRun.h"
#include "export/FrontOfficeDir.h"
#include "export/TaxOutput.h"
#include "export/TaxRules.h"
#include "export/TextFiles.h"
#include "platform/Platform.h"
#include "text/Blanks.h"

namespace {

using namespace ostelvia;

constexpr int kExitCompleted = 0;
constexpr int kExitStoppedOnCard = 1;
constexpr int kExitCardsWithProblems = 1;
constexpr int kExitStaysNotComputed = 1;
constexpr int kExitFailure = 2;

const char* const kUsage =
    "Uso: ostelvia-export [--dir CARTELLA] --from GG/MM/AAAA --to GG/MM/AAAA [--room-from CAMERA] [--room-to CAMERA]\n"
    "     ostelvia-export [--dir CARTELLA] --check --from GG/MM/AAAA --to GG/MM/AAAA [--room-from CAMERA]\n"
    "                     [--room-to CAMERA] [--csv FILE]\n"
    "     ostelvia-export [--dir CARTELLA] --rendiconto --from GG/MM/AAAA --to GG/MM/AAAA [--room-from CAMERA]\n"
    "                     [--room-to CAMERA] [--csv FILE] [--stays-csv FILE]\n"
    "     ostelvia-export [--dir CARTELLA] --code-list\n"
    "\n"
    "Lavora nella cartella del programma di ricevimento: quella data con --dir,\n"
    "altrimenti la cartella corrente.\n"
    "  --dir CARTELLA          la cartella del programma di ricevimento\n"
    "  --from, --to            prima e ultima data di partenza, usate come scritte\n"
    "  --room-from, --room-to  prima e ultima camera (predefinite: \"\" e \"ZZZZZZ\")\n"
    "  --check                 controlla tutte le schede del periodo senza scrivere il file di esportazione\n"
    "  --rendiconto            notti, esenzioni e imposta dovuta per mese di partenza, con le regole\n"
    "                          di ImpostaSoggiorno.txt\n"
    "  --csv FILE              con --check o --rendiconto: scrive anche le righe per un foglio di calcolo\n"
    "                          (UTF-8, \";\")\n"
    "  --stays-csv FILE        con --rendiconto: scrive anche un soggiorno per riga, con mese, notti,\n"
    "                          esenzione e imposta (UTF-8, \";\")\n"
    "  --code-list             scrive ListaPS.txt con i nomi che mancano nella tabella dei codici\n"
    "  --help                  mostra questo aiuto\n"
    "  --version               mostra la versione\n"
    "\n"
    "Uscita: 0 file completo; 1 scheda errata (il testo segnalato va sullo standard output);\n"
    "        2 ogni altro errore (una riga sullo standard error).\n"
    "Con --check: 0 nessuna scheda con problemi; 1 schede con problemi (elencate sullo standard\n"
    "        output); 2 ogni altro errore.\n"
    "Con --rendiconto: 0 ogni soggiorno calcolato; 1 soggiorni non calcolabili (elencati, gli altri\n"
    "        sono contati); 2 regole errate o mancanti, o ogni altro errore.\n";

struct Arguments {
    bool help = false;
    bool version = false;
    std::optional<QString> dir;
    bool codeList = false;
    bool check = false;
    bool report = false;
    std::optional<QString> csv;
    std::optional<QString> staysCsv;
    std::optional<QString> from;
    std::optional<QString> to;
    QString roomFrom;
    QString roomTo = QStringLiteral("ZZZZZZ");
};

class FixedRooms : public exporter::RoomSource {
public:
    FixedRooms(QString first, QString last) : first_(std::move(first)), last_(std::move(last)) { }
    QString firstRoom() const override { return first_; }
    QString lastRoom() const override { return last_; }

private:
    QString first_;
    QString last_;
};

// Guests' names reach the terminal: their control characters are blanks,
// so that none of them moves the cursor or changes the terminal.
QString shownOnTerminal(const QString& text)
{
    return text::terminalText(text).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

void printLine(const QString& line)
{
    platform::writeTerminal(platform::Stream::Output, line + QLatin1Char('\n'));
}

void printError(const QString& line)
{
    platform::writeTerminal(platform::Stream::Error,
                            QStringLiteral("ostelvia-export: ") + shownOnTerminal(line) + QLatin1Char('\n'));
}

// The command runs unattended: a range it cannot mean (no real day, or ending
// before it begins) would replace the export file with an empty one, or give
// a check or a tax report of nothing, and report success.
QString rangeProblem(const QString& from, const QString& to)
{
    const checks::RangeProblem problem = checks::typedRangeProblem(from, to);
    if (!problem)
        return {};
    const QString option = problem.end == checks::RangeEnd::From ? QStringLiteral("--from") : QStringLiteral("--to");
    return QStringLiteral("%1: %2").arg(option, problem.reason);
}

std::optional<Arguments> parseArguments(const QStringList& args, QString& error)
{
    Arguments parsed;
    std::set<QString> seen;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& name = args.at(i);
        // Which of two values was meant cannot be told.
        if (name.startsWith(QLatin1Char('-')) && !seen.insert(name).second) {
            error = QStringLiteral("l'opzione %1 è data più di una volta").arg(shownOnTerminal(name));
            return std::nullopt;
        }
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            parsed.help = true;
            continue;
        }
        if (name == QLatin1String("--version")) {
            parsed.version = true;
            continue;
        }
        if (name == QLatin1String("--code-list")) {
            parsed.codeList = true;
            continue;
        }
        if (name == QLatin1String("--check")) {
            parsed.check = true;
            continue;
        }
        if (name == QLatin1String("--rendiconto")) {
            parsed.report = true;
            continue;
        }
        const bool takesValue = name == QLatin1String("--from") || name == QLatin1String("--to")
            || name == QLatin1String("--room-from") || name == QLatin1String("--room-to")
            || name == QLatin1String("--dir") || name == QLatin1String("--csv") || name == QLatin1String("--stays-csv");
        if (!takesValue) {
            error = QStringLiteral("argomento sconosciuto: %1").arg(name);
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = QStringLiteral("manca il valore di %1").arg(name);
            return std::nullopt;
        }
        const QString value = args.at(++i);
        if (name == QLatin1String("--from"))
            parsed.from = value;
        else if (name == QLatin1String("--to"))
            parsed.to = value;
        else if (name == QLatin1String("--dir"))
            parsed.dir = value;
        else if (name == QLatin1String("--room-from"))
            parsed.roomFrom = value;
        else if (name == QLatin1String("--csv"))
            parsed.csv = value;
        else if (name == QLatin1String("--stays-csv"))
            parsed.staysCsv = value;
        else
            parsed.roomTo = value;
    }
    if (parsed.check && parsed.codeList) {
        error = QStringLiteral("--check e --code-list non vanno insieme");
        return std::nullopt;
    }
    if (parsed.report && (parsed.check || parsed.codeList)) {
        error = QStringLiteral("--rendiconto non va con --check o --code-list");
        return std::nullopt;
    }
    if (parsed.csv && !parsed.check && !parsed.report) {
        error = QStringLiteral("--csv va con --check o --rendiconto");
        return std::nullopt;
    }
    if (parsed.staysCsv && !parsed.report) {
        error = QStringLiteral("--stays-csv va con --rendiconto");
        return std::nullopt;
    }
    if (!parsed.help && !parsed.version && !parsed.codeList && (!parsed.from || !parsed.to)) {
        error = QStringLiteral("servono --from e --to (oppure --code-list)");
        return std::nullopt;
    }
    if (parsed.from && parsed.to) {
        error = rangeProblem(*parsed.from, *parsed.to);
        if (!error.isEmpty())
            return std::nullopt;
    }
    return parsed;
}

int runCodeList()
{
    try {
        const int names = exporter::ScriviListaPS();
        printLine(QStringLiteral("%1 nomi scritti in %2").arg(names).arg(exporter::kFileListaPS));
        return kExitCompleted;
    } catch (const Error& error) {
        printError(error.message());
    }
    return kExitFailure;
}

// `lineEnd`: how the text's own lines end; on the terminal each ends with LF.
void writeStandardOutput(const QString& shown, QLatin1StringView lineEnd)
{
    QString text = text::terminalText(shown, lineEnd);
    if (lineEnd != QLatin1StringView("\n"))
        text.replace(lineEnd, QLatin1String("\n"));
    platform::writeTerminal(platform::Stream::Output, text);
}

int runCheck(const Arguments& args)
{
    const FixedRooms rooms(args.roomFrom, args.roomTo);
    try {
        const exporter::CheckReport report = exporter::checkAllCards(*args.from, *args.to, rooms);
        writeStandardOutput(exporter::checkText(report), QLatin1StringView("\n"));
        if (args.csv)
            exporter::writeCheckCsv(*args.csv, report);
        return report.totals.withProblems > 0 ? kExitCardsWithProblems : kExitCompleted;
    } catch (const Error& error) {
        printError(error.message());
    }
    return kExitFailure;
}

int runTaxReport(const Arguments& args)
{
    const FixedRooms rooms(args.roomFrom, args.roomTo);
    try {
        const exporter::TaxRules rules = exporter::readTaxRules();
        const exporter::TaxReport report = exporter::reportTax(*args.from, *args.to, rooms, rules);
        const QString periodo = QStringLiteral("Partenze dal %1 al %2, camere da \"%3\" a \"%4\"")
                                    .arg(*args.from, *args.to, args.roomFrom, args.roomTo);
        writeStandardOutput(exporter::taxText(report, periodo), QLatin1StringView("\n"));
        if (args.csv)
            exporter::writeTaxCsv(*args.csv, report);
        if (args.staysCsv)
            exporter::writeStaysCsv(*args.staysCsv, report);
        return report.uncomputed.empty() ? kExitCompleted : kExitStaysNotComputed;
    } catch (const Error& error) {
        printError(error.message());
    }
    return kExitFailure;
}

int runExport(const Arguments& args)
{
    const FixedRooms rooms(args.roomFrom, args.roomTo);
    const exporter::RunSummary summary = exporter::CreaFileTassa(*args.from, *args.to, rooms);
    switch (summary.outcome) {
    case exporter::RunSummary::Outcome::Completed:
        printLine(QStringLiteral("%1 schede esportate in %2")
                      .arg(summary.recordsWritten)
                      .arg(shownOnTerminal(summary.exportPath)));
        return kExitCompleted;
    case exporter::RunSummary::Outcome::StoppedOnCard:
        // The findings' lines end with CR LF, as the dialog shows them.
        writeStandardOutput(summary.message, QLatin1StringView("\r\n"));
        return kExitStoppedOnCard;
    case exporter::RunSummary::Outcome::SettingsMissing:
        printError(QStringLiteral("manca il file \"TaxSetup.txt\" nella cartella %1")
                       .arg(QDir::toNativeSeparators(QDir::currentPath())));
        return kExitFailure;
    case exporter::RunSummary::Outcome::Failed:
        break;
    }
    printError(summary.message);
    return kExitFailure;
}

}  // namespace

int main(int argc, char* argv[])
{
    platform::treatFileSizeLimitAsError();
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");

    QString error;
    const std::optional<Arguments> args = parseArguments(QCoreApplication::arguments(), error);
    if (!args) {
        // One line, as every other failure: a log gathered by cron stays readable.
        printError(error + QStringLiteral(" (ostelvia-export --help spiega l'uso)"));
        return kExitFailure;
    }
    if (args->help) {
        platform::writeTerminal(platform::Stream::Output, QString::fromUtf8(kUsage));
        return kExitCompleted;
    }
    if (args->version) {
        printLine(QStringLiteral("ostelvia-export " OSTELVIA_VERSION));
        return kExitCompleted;
    }
    if (args->dir) {
        const QString problem = exporter::enterFrontOfficeDir(*args->dir);
        if (!problem.isEmpty()) {
            printError(problem);
            return kExitFailure;
        }
    }
    if (args->codeList)
        return runCodeList();
    if (args->check)
        return runCheck(*args);
    if (args->report)
        return runTaxReport(*args);
    return runExport(*args);
}
