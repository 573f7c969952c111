// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/CodeList.h"

#include "db/Run.h"
#include "db/TextSet.h"
#include "export/CodeLookups.h"
#include "export/TextFiles.h"
#include "text/Blanks.h"

namespace ostelvia::exporter {

namespace {

const QString kReferenceFile = QStringLiteral("PSWebAll.mdb");
const QString kReferenceCriteria = QStringLiteral("ID > 0");
const QString kDescrizione = QStringLiteral("Descrizione");

// Appends the names of one reference table that the code set lacks. A record
// without a name (Null or blanks) has nothing to list.
int listMissingNames(db::Database& reference, const QString& table, const db::TextSet& codes, QString& list)
{
    int written = 0;
    db::Recordset names = reference.openRecordset(table);
    for (const db::Value& value : names.fieldOfEach(kReferenceCriteria, kDescrizione)) {
        const QString name = value.toText();
        if (text::trimBlanks(name).isEmpty() || codes.contains(name))
            continue;
        list += name + kCrLf;
        ++written;
    }
    return written;
}

// The list of the names one view of the files lacks, and how many.
int missingNames(db::Run& run, QString& list)
{
    db::Database reference = run.open(kReferenceFile);
    db::Database comuni = run.open(kCodeTableFile);
    db::Recordset codes = comuni.openRecordset(
        QStringLiteral("Select * From CodiciVari Where NumeroHotel = 1 and (Tipo = 0 or Tipo = 2 or Tipo = 3)"));
    // A name is in the code set when find first with "Descrizione = '<name>'"
    // would find it: the set's names are gathered once, compared the same
    // way, instead of one find per reference name.
    db::TextSet known;
    for (const db::Value& value : codes.fieldOfEach(QStringLiteral("Descrizione Is Not Null"), kDescrizione))
        known.insert(value.toText());

    int written = listMissingNames(reference, QStringLiteral("Stati"), known, list);
    written += listMissingNames(reference, QStringLiteral("Comuni"), known, list);
    return written;
}

}  // namespace

int ScriviListaPS()
{
    QString list;
    const int written =
        db::withSteadyView({kReferenceFile, kCodeTableFile}, [&](db::Run& run) { return missingNames(run, list); });
    writeText(kFileListaPS, list);
    return written;
}

}  // namespace ostelvia::exporter
