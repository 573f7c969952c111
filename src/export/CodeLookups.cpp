#include "export/CodeLookups.h"

#include "checks/Blanks.h"
#include "db/Database.h"

namespace ostelvia::exporter {

namespace {

// Each lookup opens the code table afresh; the engine keeps the parsed file,
// so this costs a stat, and a file replaced on disk is seen at once.
QString lookUp(const QString& criteria)
{
    db::Database comuni = db::Database::open(QStringLiteral("Comuni.mdb"));
    db::Recordset codici = comuni.openRecordset(QStringLiteral("CodiciVari"));
    codici.findFirst(criteria);
    QString code = kNoCode;
    if (!codici.noMatch()) {
        const db::Value value = codici.field(QStringLiteral("CodicePS"));
        // A row without a code cannot give one: it counts as no match.
        if (!value.isNull())
            code = value.toText();
    }
    comuni.close();
    return code;
}

}  // namespace

QString CodiceComune(const QString& nome)
{
    return lookUp(QStringLiteral("Tipo = 3 and Trim(Descrizione) = '") +
                  db::escapeQuotes(checks::trimBlanks(nome)) + QLatin1Char('\''));
}

QString CodiceStato(const QString& nome)
{
    return lookUp(QStringLiteral("Tipo = 0 and Descrizione = '") + db::escapeQuotes(nome) +
                  QLatin1Char('\''));
}

QString CodiceStatoDaSigla(const QString& sigla)
{
    return lookUp(QStringLiteral("Tipo = 0 and Sigla = '") + db::escapeQuotes(sigla) +
                  QLatin1Char('\''));
}

}  // namespace ostelvia::exporter
