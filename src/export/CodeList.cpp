#include "export/CodeList.h"

#include "db/Database.h"
#include "export/TextFiles.h"
#include "text/Blanks.h"

namespace ostelvia::exporter {

namespace {

const QString kReferenceCriteria = QStringLiteral("ID > 0");

// Appends the names of one reference table that the code set lacks. A record
// without a name (Null or blanks) has nothing to list.
int listMissingNames(db::Database& reference, const QString& table, db::Recordset& codes, QString& list)
{
    int written = 0;
    db::Recordset names = reference.openRecordset(table);
    for (names.findFirst(kReferenceCriteria); !names.noMatch(); names.findNext(kReferenceCriteria)) {
        const QString name = names.text(QStringLiteral("Descrizione"));
        if (text::trimBlanks(name).isEmpty())
            continue;
        codes.findFirst(QStringLiteral("Descrizione = '") + db::escapeQuotes(name) + QLatin1Char('\''));
        if (!codes.noMatch())
            continue;
        list += name + kCrLf;
        ++written;
    }
    return written;
}

}  // namespace

int ScriviListaPS()
{
    db::Database reference = db::Database::open(QStringLiteral("PSWebAll.mdb"));
    db::Database comuni = db::Database::open(QStringLiteral("Comuni.mdb"));
    db::Recordset codes = comuni.openRecordset(
        QStringLiteral("Select * From CodiciVari Where NumeroHotel = 1 and (Tipo = 0 or Tipo = 2 or Tipo = 3)"));

    QString list;
    int written = listMissingNames(reference, QStringLiteral("Stati"), codes, list);
    written += listMissingNames(reference, QStringLiteral("Comuni"), codes, list);
    reference.close();
    comuni.close();
    writeText(kFileListaPS, list);
    return written;
}

}  // namespace ostelvia::exporter
