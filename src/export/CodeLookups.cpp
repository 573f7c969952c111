#include "export/CodeLookups.h"

#include "db/Database.h"
#include "text/Blanks.h"

namespace ostelvia::exporter {

namespace {

// Each lookup opens the code table afresh; the engine keeps the parsed file
// for the run, and a file replaced on disk is seen by the next run.
QString lookUp(const QString& criteria)
{
    static const QString kFile = QStringLiteral("Comuni.mdb");
    static const QString kTable = QStringLiteral("CodiciVari");
    static const QString kCodeField = QStringLiteral("CodicePS");
    db::Database comuni = db::Database::open(kFile);
    db::Recordset codici = comuni.openRecordset(kTable);
    codici.findFirst(criteria);
    QString code = kNoCode;
    if (!codici.noMatch()) {
        const db::Value value = codici.field(kCodeField);
        // A row without a code cannot give one: it counts as no match.
        if (!value.isNull())
            code = value.toText();
    }
    comuni.close();
    return code;
}

// "<prefix><value>'" with the value's quotes doubled, built in one piece:
// a record makes up to seven look-ups.
QString criteria(QLatin1String prefix, const QString& value)
{
    const QString escaped = db::escapeQuotes(value);
    QString text;
    text.reserve(prefix.size() + escaped.size() + 1);
    text.append(prefix).append(escaped).append(QLatin1Char('\''));
    return text;
}

}  // namespace

QString CodiceComune(const QString& nome)
{
    return lookUp(criteria(QLatin1String("Tipo = 3 and Trim(Descrizione) = '"), text::trimBlanks(nome)));
}

QString CodiceStato(const QString& nome)
{
    return lookUp(criteria(QLatin1String("Tipo = 0 and Descrizione = '"), nome));
}

QString CodiceStatoDaSigla(const QString& sigla)
{
    return lookUp(criteria(QLatin1String("Tipo = 0 and Sigla = '"), sigla));
}

}  // namespace ostelvia::exporter
