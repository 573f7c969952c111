// SPDX-License-Identifier: GPL-3.0-or-later
#include "checks/CardValidation.h"

#include "checks/DateRoutines.h"
#include "db/Database.h"
#include "db/Run.h"
#include "text/Blanks.h"
#include "text/WordSplit.h"

namespace ostelvia::checks {

namespace {

using text::ParteStringa;
using text::trimBlanks;

const QString kComuni = QStringLiteral("Comuni.mdb");
const QString kCodiciVari = QStringLiteral("CodiciVari.mdb");

// Collects the findings of one card.
class Findings {
public:
    explicit Findings(QString nomeCliente) : nome_(std::move(nomeCliente)) { }

    // `lookedUp`: the value as the failed lookup searched it, when it differs
    // from the value shown.
    void add(const QString& label, const QString& value, FailedLookup lookup = FailedLookup::None,
             const QString* lookedUp = nullptr)
    {
        list_.push_back({label + value + QStringLiteral(") ") + nome_, lookedUp ? *lookedUp : value, lookup});
    }
    std::vector<Finding> take() { return std::move(list_); }

private:
    QString nome_;
    std::vector<Finding> list_;
};

// The code sets the checks search.
const QString kStati = QStringLiteral("Tipo = 0");
const QString kProvince = QStringLiteral("Tipo = 2");
const QString kComuniTipo = QStringLiteral("Tipo = 3");
const QString kTipiDocumento = QStringLiteral("Tipo = 5");
const QString kLuoghi = QStringLiteral("Tipo = 0 or Tipo = 3");

QString codeSetSql(const QString& condition)
{
    return QStringLiteral("Select * From CodiciVari Where ") + condition;
}

const QString kStatiSql = codeSetSql(kStati);
const QString kProvinceSql = codeSetSql(kProvince);
const QString kComuniSql = codeSetSql(kComuniTipo);
const QString kTipiDocumentoSql = codeSetSql(kTipiDocumento);
const QString kLuoghiSql = codeSetSql(kLuoghi);

// One column of a code set, searched with find first "<column> = '<value>'".
struct CodeColumn {
    db::LookUpQuestion question;

    // True when find first finds nothing: asked of the file once per run.
    bool lacks(db::Run& run, const QString& value) const { return !run.lookUp(question, value); }
};

const CodeColumn kSiglaStato{{kComuni, kStatiSql, QLatin1String("Sigla = '"), QStringLiteral("Sigla")}};
const CodeColumn kNomeStato{{kComuni, kStatiSql, QLatin1String("Descrizione = '"), QStringLiteral("Descrizione")}};
const CodeColumn kSiglaProvincia{{kComuni, kProvinceSql, QLatin1String("Sigla = '"), QStringLiteral("Sigla")}};
const CodeColumn kNomeComune{{kComuni, kComuniSql, QLatin1String("Descrizione = '"), QStringLiteral("Descrizione")}};
const CodeColumn kSiglaDocumento{{kCodiciVari, kTipiDocumentoSql, QLatin1String("Sigla = '"), QStringLiteral("Sigla")}};
const CodeColumn kNomeLuogo{{kComuni, kLuoghiSql, QLatin1String("Descrizione = '"), QStringLiteral("Descrizione")}};

void checkBirthDate(const db::Recordset& scheda, Findings& findings)
{
    QString date = storedToTyped(scheda.text(QStringLiteral("DataNascita")));
    if (ControllaData(date) == 0)
        findings.add(QStringLiteral("Data di nascita errata o mancante ("), date);
}

void checkPlaceOfBirth(db::Run& run, const QString& luogoNascita, Findings& findings)
{
    if (!luogoNascita.contains(QLatin1Char(' '))) {
        findings.add(QStringLiteral("Luogo di nascita errato ("), luogoNascita);
        return;
    }
    const QString luogo = trimBlanks(luogoNascita);
    const QString ultima = ParteStringa(luogo, 0);
    const QString penultima = ParteStringa(luogo, 2);
    const QString prima = ParteStringa(luogo, 3);
    if (ultima == QLatin1String("I")) {
        if (kNomeComune.lacks(run, prima))
            findings.add(QStringLiteral("Comune di nascita errato ("), prima, FailedLookup::MunicipalityName);
        if (kSiglaProvincia.lacks(run, penultima))
            findings.add(QStringLiteral("Provincia di nascita errata ("), penultima, FailedLookup::ProvinceCode);
        return;
    }
    if (kNomeStato.lacks(run, prima))
        findings.add(QStringLiteral("Stato di nascita errato ("), prima, FailedLookup::StateName);
    if (kSiglaStato.lacks(run, ultima))
        findings.add(QStringLiteral("Stato di nascita errato ("), ultima, FailedLookup::StateCode);
}

// States, residence and place of birth, all against "Comuni.mdb".
void checkPlaces(db::Run& run, const db::Recordset& scheda, Findings& findings)
{
    const QString stato = scheda.text(QStringLiteral("Stato"));
    if (kSiglaStato.lacks(run, stato))
        findings.add(QStringLiteral("Codice stato di residenza errato ("), stato, FailedLookup::StateCode);
    const QString nazione = scheda.text(QStringLiteral("Nazione"));
    if (kSiglaStato.lacks(run, nazione))
        findings.add(QStringLiteral("Codice nazionalità errato ("), nazione, FailedLookup::StateCode);

    const db::Value nome = scheda.field(QStringLiteral("NomeCliente"));
    if (!nome.isNull() && !nome.toText().contains(QLatin1Char(' ')))
        findings.add(QStringLiteral("Nome Cliente errato ("), nome.toText());

    if (trimBlanks(stato) == QLatin1String("I")) {
        const QString provincia = scheda.text(QStringLiteral("Provincia"));
        const QString sigla = trimBlanks(provincia);
        if (kSiglaProvincia.lacks(run, sigla))
            findings.add(QStringLiteral("Codice provincia di residenza errato ("), provincia,
                         FailedLookup::ProvinceCode, &sigla);

        const QString residenza = scheda.text(QStringLiteral("Residenza"));
        if (kNomeComune.lacks(run, residenza))
            findings.add(QStringLiteral("Residenza italiana errata ("), residenza, FailedLookup::MunicipalityName);
    }

    checkPlaceOfBirth(run, scheda.text(QStringLiteral("LuogoNascita")), findings);
}

bool needsDocumentChecks(const db::Recordset& scheda)
{
    const QString capoFamiglia = scheda.text(QStringLiteral("CapoFamiglia"));
    return capoFamiglia == QLatin1String("S") || capoFamiglia == QLatin1String("U")
        || scheda.text(QStringLiteral("CapoGruppo")) == QLatin1String("S");
}

void checkDocument(db::Run& run, const db::Recordset& scheda, Findings& findings)
{
    const QString rilascio = scheda.text(QStringLiteral("DataRilascioDocumento"));
    QString date = storedToTyped(rilascio);
    if (ControllaData(date) == 0)
        findings.add(QStringLiteral("Data rilascio documento errata o mancante ("), rilascio);

    const QString tipo = scheda.text(QStringLiteral("TipoDocumento"));
    if (kSiglaDocumento.lacks(run, tipo))
        findings.add(QStringLiteral("Codice tipo documento errato ("), tipo, FailedLookup::DocumentTypeCode);

    const QString numero = scheda.text(QStringLiteral("NumeroDocumento"));
    if (!trimBlanks(tipo).isEmpty() && trimBlanks(numero).isEmpty())
        findings.add(QStringLiteral("Numero documento mancante ("), numero);

    const QString autorita = scheda.text(QStringLiteral("AutoritaRilascioDocumento"));
    const QString luogo = trimBlanks(autorita);
    if (kNomeLuogo.lacks(run, luogo))
        findings.add(QStringLiteral("Luogo rilascio documento errato ("), autorita, FailedLookup::PlaceOfIssue, &luogo);
}

}  // namespace

std::vector<Finding> cardFindings(db::Run& run, const db::Recordset& scheda)
{
    Findings findings(scheda.text(QStringLiteral("NomeCliente")));
    checkBirthDate(scheda, findings);
    checkPlaces(run, scheda, findings);
    if (needsDocumentChecks(scheda))
        checkDocument(run, scheda, findings);
    return findings.take();
}

QString ControllaScheda(db::Run& run, const db::Recordset& scheda)
{
    QString text;
    for (const Finding& finding : cardFindings(run, scheda))
        text += finding.line + QStringLiteral("\r\n");
    return text;
}

QStringList checkedFiles()
{
    return {kComuni, kCodiciVari};
}

CodeSet searchedSet(FailedLookup lookup)
{
    switch (lookup) {
    case FailedLookup::StateCode:
    case FailedLookup::StateName:
        return {kComuni, kStatiSql, kStati};
    case FailedLookup::ProvinceCode:
        return {kComuni, kProvinceSql, kProvince};
    case FailedLookup::MunicipalityName:
        return {kComuni, kComuniSql, kComuniTipo};
    case FailedLookup::DocumentTypeCode:
        return {kCodiciVari, kTipiDocumentoSql, kTipiDocumento};
    case FailedLookup::PlaceOfIssue:
    case FailedLookup::None:
        break;
    }
    return {kComuni, kLuoghiSql, kLuoghi};
}

QString storedToTyped(const QString& stored)
{
    const QStringView date(stored);
    QString typed;
    typed.reserve(10);
    typed.append(date.mid(6, 2)).append(QLatin1Char('/')).append(date.mid(4, 2)).append(QLatin1Char('/'));
    return typed.append(date.mid(0, 4));
}

}  // namespace ostelvia::checks
