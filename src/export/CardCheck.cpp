// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/CardCheck.h"

#include <map>

#include "checks/CardValidation.h"
#include "checks/NameMatch.h"
#include "db/Run.h"
#include "export/CardSelection.h"
#include "export/PresenceRecord.h"

namespace ostelvia::exporter {

namespace {

using checks::FailedLookup;

// The names of the code sets the validation searches, read the first time a
// lookup on that set fails and kept for the rest of the check.
class CodeSetNames {
public:
    explicit CodeSetNames(db::Run& run) : run_(run) { }

    QStringList suggestionsFor(const checks::Finding& finding)
    {
        if (finding.lookup == FailedLookup::None)
            return {};
        const checks::NameIndex& names = index(finding.lookup);
        QStringList found = checks::isCodeLookup(finding.lookup) ? names.codesFor(finding.lookedUp)
                                                                 : names.similarNames(finding.lookedUp);
        for (QString& name : found)
            name = blankDifference(finding.lookedUp, name);
        return found;
    }

    // A name that differs from the typed one by its blanks alone reads the
    // same on the screen: say what differs. The names are offered without
    // their outer blanks, so one equal to the typed text is a table entry
    // with blanks of its own, which is why the exact lookup missed it.
    static QString blankDifference(const QString& typed, const QString& name)
    {
        if (QString(typed).remove(QLatin1Char(' ')) != QString(name).remove(QLatin1Char(' ')))
            return name;
        if (typed == name)
            return QStringLiteral("\"%1\" (nella tabella dei codici con spazi in più)").arg(name);
        QString what;
        if (typed.endsWith(QLatin1Char(' ')) && !name.endsWith(QLatin1Char(' ')) && typed.trimmed() == name)
            what = typed.size() - name.size() == 1 ? QStringLiteral("senza lo spazio finale")
                                                   : QStringLiteral("senza gli spazi finali");
        else if (typed.startsWith(QLatin1Char(' ')) && typed.trimmed() == name)
            what = QStringLiteral("senza gli spazi all'inizio e alla fine");
        else
            what = QStringLiteral("con gli spazi disposti diversamente");
        return QStringLiteral("\"%1\" %2").arg(name, what);
    }

private:
    // States by code and by name are one set, read once.
    const checks::NameIndex& index(FailedLookup lookup)
    {
        const checks::CodeSet set = checks::searchedSet(lookup);
        const QString key = set.file + QLatin1Char('|') + set.sql;
        auto found = indexes_.find(key);
        if (found == indexes_.end())
            found = indexes_.emplace(key, checks::NameIndex(load(set))).first;
        return found->second;
    }

    std::vector<checks::CodeEntry> load(const checks::CodeSet& set)
    {
        static const QString kSigla = QStringLiteral("Sigla");
        static const QString kDescrizione = QStringLiteral("Descrizione");
        db::Database database = run_.open(set.file);
        db::Recordset rows = database.openRecordset(set.sql);
        std::vector<checks::CodeEntry> entries;
        for (rows.findFirst(set.condition); !rows.noMatch(); rows.findNext(set.condition))
            entries.push_back({rows.text(kSigla), rows.text(kDescrizione)});
        database.close();
        return entries;
    }

    db::Run& run_;
    std::map<QString, checks::NameIndex> indexes_;
};

CheckedCard describe(const QString& database, const db::Recordset& scheda)
{
    CheckedCard card;
    card.database = database;
    card.room = scheda.text(QStringLiteral("NumeroCamera"));
    card.cardNumber = scheda.text(QStringLiteral("NumeroProgressivo"));
    card.guestName = scheda.text(QStringLiteral("NomeCliente"));
    card.arrival = shownCardDate(scheda, QStringLiteral("DataArrivo"));
    card.departure = shownCardDate(scheda, QStringLiteral("DataPartenzaReale"));
    return card;
}

// The card's problems as the export run would meet them: its findings, or,
// for a good card the run would write, the fields that do not fit the record.
std::vector<CheckProblem> problemsOf(db::Run& run, const db::Recordset& scheda, CodeSetNames& names,
                                     CheckTotals& totals)
{
    std::vector<CheckProblem> problems;
    const std::vector<checks::Finding> findings = checks::cardFindings(run, scheda);
    for (const checks::Finding& finding : findings)
        problems.push_back({finding.line, names.suggestionsFor(finding)});
    if (!findings.empty() || !isExported(scheda))
        return problems;
    const PresenceRecord record = CostruisciRiga(run, scheda);
    if (record.ok())
        ++totals.wouldWrite;
    for (const QString& line : record.widthErrorLines)
        problems.push_back({line, {}});
    return problems;
}

}  // namespace

CheckReport checkAllCards(const QString& dataDa, const QString& dataA, const RoomSource& camere,
                          const CheckProgress& progress)
{
    return db::withSteadyView(kGuestFiles + checks::checkedFiles(),
                              [&](db::Run& run) { return checkCards(run, dataDa, dataA, camere, progress); });
}

CheckReport checkCards(db::Run& run, const QString& dataDa, const QString& dataA, const RoomSource& camere,
                       const CheckProgress& progress)
{
    CheckReport report;
    CodeSetNames names(run);
    walkSelectedCards(run, dataDa, dataA, camere, [&](const QString& database, const db::Recordset& scheda) {
        ++report.totals.checked;
        std::vector<CheckProblem> problems = problemsOf(run, scheda, names, report.totals);
        if (!problems.empty()) {
            ++report.totals.withProblems;
            CheckedCard card = describe(database, scheda);
            card.problems = std::move(problems);
            report.cards.push_back(std::move(card));
        }
        if (progress)
            progress(report.totals.checked);
    });
    return report;
}

}  // namespace ostelvia::exporter
