// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/CodeLookups.h"

#include "db/Run.h"
#include "export/RecordLayout.h"
#include "text/Blanks.h"

#include <algorithm>

namespace ostelvia::exporter {

namespace {

const QString& kFile = kCodeTableFile;
const QString kTable = QStringLiteral("CodiciVari");
const QString kCodePs = QStringLiteral("CodicePS");
const QString kDescrizione = QStringLiteral("Descrizione");

const db::LookUpQuestion kComuneByName{kFile, kTable, QLatin1String("Tipo = 3 and Trim(Descrizione) = '"), kCodePs};
const db::LookUpQuestion kStatoByName{kFile, kTable, QLatin1String("Tipo = 0 and Descrizione = '"), kCodePs};
const db::LookUpQuestion kStatoBySigla{kFile, kTable, QLatin1String("Tipo = 0 and Sigla = '"), kCodePs};
// The file holds a code zero-filled; the table may hold it without the zeros.
const db::LookUpQuestion kComuneByCode{kFile, kTable, QLatin1String("Tipo = 3 and ltrim(Trim(CodicePS), '0') = '"),
                                       kDescrizione};
const db::LookUpQuestion kStatoByCode{kFile, kTable, QLatin1String("Tipo = 0 and ltrim(Trim(CodicePS), '0') = '"),
                                      kDescrizione};

// The field of the first row the question finds, or `none`. A row whose
// field is Null cannot give it: it counts as no match.
QString answer(db::Run& run, const db::LookUpQuestion& question, const QString& value, const QString& none)
{
    const std::optional<db::Value> found = run.lookUp(question, value);
    return found && !found->isNull() ? found->toText() : none;
}

}  // namespace

QString CodiceComune(db::Run& run, const QString& nome)
{
    return answer(run, kComuneByName, text::trimBlanks(nome), kNoCode);
}

QString CodiceStato(db::Run& run, const QString& nome)
{
    return answer(run, kStatoByName, nome, kNoCode);
}

QString CodiceStatoDaSigla(db::Run& run, const QString& sigla)
{
    return answer(run, kStatoBySigla, sigla, kNoCode);
}

QString nameOfCode(db::Run& run, const QString& code, int tipo)
{
    QString digits = text::trimBlanks(code);
    while (digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    if (digits.isEmpty())
        return {};
    return answer(run, tipo == kMunicipalityType ? kComuneByCode : kStatoByCode, digits, QString());
}

QString codeMeaning(db::Run& run, const QString& value, CodeKind kind)
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
            name = nameOfCode(run, value, kMunicipalityType);
        if (name.isEmpty() && kind != CodeKind::Comune)
            name = nameOfCode(run, value, kStateType);
        return name.isEmpty() ? QStringLiteral("codice non trovato") : text::trimBlanks(name);
    } catch (const db::DbError& error) {
        return QStringLiteral("nome non disponibile: ") + error.message();
    }
}

}  // namespace ostelvia::exporter
