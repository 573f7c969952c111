// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/CodeLookups.h"

#include "db/Database.h"
#include "export/RecordLayout.h"
#include "text/Blanks.h"

#include <algorithm>

namespace ostelvia::exporter {

namespace {

const QString kCodeField = QStringLiteral("CodicePS");

// Each lookup opens the code table afresh; the engine keeps the parsed file
// for the run, and a file replaced on disk is seen by the next run.
// Returns the field of the first row matching, or `none`.
QString lookUp(const QString& criteria, const QString& wanted = kCodeField, const QString& none = kNoCode)
{
    static const QString kFile = QStringLiteral("Comuni.mdb");
    static const QString kTable = QStringLiteral("CodiciVari");
    db::Database comuni = db::Database::open(kFile);
    const std::optional<db::Value> value = comuni.lookUp(kTable, criteria, wanted);
    // A row without a code cannot give one: it counts as no match.
    const QString result = value && !value->isNull() ? value->toText() : none;
    comuni.close();
    return result;
}

}  // namespace

// A record makes up to seven look-ups, nearly all of them made by earlier
// records of the run: each is answered once per run.
QString CodiceComune(const QString& nome)
{
    static db::RunMemo<QString> answers;
    return answers.get(nome, [&] {
        return lookUp(db::quotedCriteria(QLatin1String("Tipo = 3 and Trim(Descrizione) = '"), text::trimBlanks(nome)));
    });
}

QString CodiceStato(const QString& nome)
{
    static db::RunMemo<QString> answers;
    return answers.get(nome,
                       [&] { return lookUp(db::quotedCriteria(QLatin1String("Tipo = 0 and Descrizione = '"), nome)); });
}

QString CodiceStatoDaSigla(const QString& sigla)
{
    static db::RunMemo<QString> answers;
    return answers.get(sigla,
                       [&] { return lookUp(db::quotedCriteria(QLatin1String("Tipo = 0 and Sigla = '"), sigla)); });
}

QString nameOfCode(const QString& code, int tipo)
{
    // The file holds the code zero-filled; the table may hold it without the zeros.
    QString digits = text::trimBlanks(code);
    while (digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    if (digits.isEmpty())
        return {};
    return lookUp(QStringLiteral("Tipo = %1 and ltrim(Trim(CodicePS), '0') = '").arg(tipo) + db::escapeQuotes(digits)
                      + QLatin1Char('\''),
                  QStringLiteral("Descrizione"), QString());
}

QString codeMeaning(const QString& value, CodeKind kind)
{
    if (kind == CodeKind::None)
        return {};
    if (value == kNoCode)
        return QStringLiteral("nessun codice");
    const bool zeros =
        !value.isEmpty() && std::all_of(value.cbegin(), value.cend(), [](QChar c) { return c == QLatin1Char('0'); });
    if (zeros && kind == CodeKind::Comune)
        return QStringLiteral("zeri: luogo fuori d'Italia");
    try {
        QString name;
        if (kind != CodeKind::Stato)
            name = nameOfCode(value, kMunicipalityType);
        if (name.isEmpty() && kind != CodeKind::Comune)
            name = nameOfCode(value, kStateType);
        return name.isEmpty() ? QStringLiteral("codice non trovato") : text::trimBlanks(name);
    } catch (const db::DbError& error) {
        return QStringLiteral("nome non disponibile: ") + error.message();
    }
}

}  // namespace ostelvia::exporter
