// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/TaxRules.h"

#include <QRegularExpression>
#include <QStringList>

#include "export/PrivateFiles.h"
#include "export/TextFiles.h"
#include "text/Blanks.h"
#include "text/Cp1252.h"

namespace ostelvia::exporter {

namespace {

const QString kTariffa = QStringLiteral("Tariffa");
const QString kStagione = QStringLiteral("Stagione");
const QString kEtaEsente = QStringLiteral("EtaEsente");
const QString kNottiMassime = QStringLiteral("NottiMassime");
const QString kComuneResidenti = QStringLiteral("ComuneResidenti");
const QStringList kKeys = {kTariffa, kStagione, kEtaEsente, kNottiMassime, kComuneResidenti};

// Keys, values and the pieces of a season are separated by blanks and tabs.
QString trimmed(const QString& text)
{
    return text.trimmed();
}

}  // namespace

std::optional<QDate> parseTypedDate(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{2})/(\\d{2})/(\\d{4})$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    if (!date.isValid() || date.year() < 1)
        return std::nullopt;
    return date;
}

namespace {

// A whole number >= 0, digits only.
std::optional<int> parseCount(const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("^\\d{1,9}$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    return text.toInt();
}

using text::shownInMessage;
// Far beyond any rule a person writes: a longer line is no rules file.
constexpr qsizetype kLongestLine = 1000;

class RulesParser {
public:
    explicit RulesParser(QString fileName) : fileName_(std::move(fileName)) { }

    TaxRules parse(const QByteArray& bytes)
    {
        const QStringList lines = decodedLines(bytes);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            line_ = static_cast<int>(i + 1);
            parseLine(lines.at(i));
        }
        requireTariff();
        return rules_;
    }

    // Every line that is right, and the first wrong one's message: one
    // typo must not cost the clerk the other rules.
    TaxRulesReading parseLeniently(const QByteArray& bytes)
    {
        TaxRulesReading reading;
        const QStringList lines = decodedLines(bytes);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            line_ = static_cast<int>(i + 1);
            try {
                parseLine(lines.at(i));
            } catch (const TaxRulesError& error) {
                if (reading.problem.isEmpty()) {
                    reading.problem = error.message();
                    reading.problemLine = line_;
                }
            }
        }
        try {
            requireTariff();
        } catch (const TaxRulesError& error) {
            if (reading.problem.isEmpty())
                reading.problem = error.message();
        }
        reading.rules = rules_;
        reading.tariffRead = tariffSeen_;
        return reading;
    }

private:
    // Windows-1252 as the tool writes it; UTF-8 as any other editor saves,
    // with or without its mark, so that accented names still match the code
    // table. UTF-16 ("Unicode" in Notepad) is refused by name: read as bytes
    // it would only give lines of nonsense.
    QStringList decodedLines(const QByteArray& bytes) const
    {
        static const QByteArray kUtf8Mark("\xEF\xBB\xBF");
        if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") || looksLikeUtf16(bytes))
            throw TaxRulesError(QStringLiteral("Il file \"%1\" è salvato in UTF-16 (\"Unicode\"): salvarlo di nuovo "
                                               "come \"ANSI\" o \"UTF-8\".")
                                    .arg(fileName_));
        QString text;
        if (bytes.startsWith(kUtf8Mark))
            text = QString::fromUtf8(bytes.mid(kUtf8Mark.size()));
        else if (isUtf8(bytes))
            text = QString::fromUtf8(bytes);
        else
            text = text::fromCp1252(bytes);
        return text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    }

    // UTF-16 without its mark: ASCII text then has a zero byte in every pair.
    static bool looksLikeUtf16(const QByteArray& bytes)
    {
        return bytes.size() >= 2 && (bytes.at(0) == '\0' || bytes.at(1) == '\0');
    }

    // Text in Windows-1252 with accented letters is almost never valid UTF-8,
    // while UTF-8 decodes back to the same bytes.
    static bool isUtf8(const QByteArray& bytes) { return QString::fromUtf8(bytes).toUtf8() == bytes; }

    void requireTariff() const
    {
        if (!tariffSeen_)
            throw TaxRulesError(QStringLiteral("Il file \"%1\" non va bene: manca la tariffa (una riga come "
                                               "\"Tariffa=3,50\").")
                                    .arg(fileName_));
    }

    [[noreturn]] void fail(const QString& why) const
    {
        throw TaxRulesError(
            QStringLiteral("Il file \"%1\" non va bene, riga %2: %3.").arg(fileName_).arg(line_).arg(why));
    }

    void parseLine(const QString& raw)
    {
        if (raw.size() > kLongestLine)
            fail(QStringLiteral("la riga è troppo lunga (%1 caratteri, al più %2)").arg(raw.size()).arg(kLongestLine));
        const QString line = trimmed(raw);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            return;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            fail(QStringLiteral("manca \"=\" tra chiave e valore (\"%1\")").arg(shownInMessage(line)));
        const QString keyWritten = trimmed(line.left(equals));
        const QString value = trimmed(line.mid(equals + 1));
        QString key;
        for (const QString& known : kKeys) {
            if (keyWritten.compare(known, Qt::CaseInsensitive) == 0)
                key = known;
        }
        if (key.isEmpty())
            fail(QStringLiteral("chiave sconosciuta \"%1\"").arg(shownInMessage(keyWritten)));
        if (key != kStagione) {
            if (seen_.contains(key))
                fail(QStringLiteral("la chiave \"%1\" è già data alla riga %2")
                         .arg(key)
                         .arg(seenAt_.at(seen_.indexOf(key))));
            seen_ << key;
            seenAt_ << line_;
        }
        if (key == kTariffa) {
            rules_.tariffCents = euros(value);
            tariffSeen_ = true;
        } else if (key == kStagione) {
            rules_.seasons.push_back(season(value));
        } else if (key == kEtaEsente) {
            rules_.exemptAge = count(value, QStringLiteral("età esente non valida"));
        } else if (key == kNottiMassime) {
            rules_.maxNights = count(value, QStringLiteral("numero di notti non valido"));
        } else {
            rules_.residentMunicipality = value;
            rules_.residentLine = line_;
        }
    }

    qint64 euros(const QString& value) const
    {
        const std::optional<qint64> cents = parseEuros(value);
        if (!cents)
            fail(QStringLiteral("importo non valido \"%1\" (euro con al più due decimali, es. 3,50)")
                     .arg(shownInMessage(value)));
        return *cents;
    }

    int count(const QString& value, const QString& what) const
    {
        const std::optional<int> number = parseCount(value);
        if (!number)
            fail(QStringLiteral("%1 \"%2\" (un numero intero, 0 per nessuno)").arg(what, shownInMessage(value)));
        return *number;
    }

    TaxSeason season(const QString& value) const
    {
        const QStringList parts = value.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (parts.size() != 3)
            fail(QStringLiteral("stagione non valida \"%1\" (prima data, ultima data e importo, es. "
                                "\"01/06/2024 31/08/2024 4,50\")")
                     .arg(shownInMessage(value)));
        const std::optional<QDate> first = parseTypedDate(parts.at(0));
        const std::optional<QDate> last = parseTypedDate(parts.at(1));
        for (const auto& [date, text] : {std::pair{first, parts.at(0)}, std::pair{last, parts.at(1)}}) {
            if (!date)
                fail(QStringLiteral("data non valida \"%1\" (GG/MM/AAAA)").arg(shownInMessage(text)));
        }
        if (*last < *first)
            fail(QStringLiteral("la stagione finisce (%1) prima di cominciare (%2)")
                     .arg(shownInMessage(parts.at(1)), shownInMessage(parts.at(0))));
        return {*first, *last, euros(parts.at(2))};
    }

    QString fileName_;
    int line_ = 0;
    TaxRules rules_;
    bool tariffSeen_ = false;
    QStringList seen_;
    QList<int> seenAt_;
};

QString dateText(const QDate& date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

}  // namespace

qint64 TaxRules::tariffOn(const QDate& night) const
{
    for (auto season = seasons.crbegin(); season != seasons.crend(); ++season) {
        if (season->first <= night && night <= season->last)
            return season->cents;
    }
    return tariffCents;
}

std::optional<qint64> parseEuros(const QString& text)
{
    // Nine digits of euros keep any sum of a report far inside 64 bits.
    static const QRegularExpression form(QStringLiteral("^(\\d{1,9})(?:[.,](\\d{1,2}))?$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    QString decimals = m.captured(2);
    while (decimals.size() < 2)
        decimals.append(QLatin1Char('0'));
    return m.captured(1).toLongLong() * 100 + decimals.toLongLong();
}

QString eurosText(qint64 cents)
{
    const QString sign = cents < 0 ? QStringLiteral("-") : QString();
    const qint64 whole = cents < 0 ? -cents : cents;
    return sign + QString::number(whole / 100) + QLatin1Char(',')
        + QStringLiteral("%1").arg(whole % 100, 2, 10, QLatin1Char('0'));
}

TaxRules parseTaxRules(const QByteArray& bytes, const QString& fileName)
{
    return RulesParser(fileName).parse(bytes);
}

TaxRulesReading parseTaxRulesLeniently(const QByteArray& bytes, const QString& fileName)
{
    try {
        return RulesParser(fileName).parseLeniently(bytes);
    } catch (const TaxRulesError& error) {
        // No line can be read at all (the file's encoding).
        TaxRulesReading reading;
        reading.problem = error.message();
        return reading;
    }
}

namespace {

QByteArray rulesFileBytes()
{
    if (!fileExists(kFileRegoleImposta))
        throw TaxRulesError(QStringLiteral("Manca il file \"%1\" con le regole dell'imposta di soggiorno: "
                                           "crearlo da \"Impostazioni\", \"Regole dell'imposta di soggiorno…\".")
                                .arg(kFileRegoleImposta));
    try {
        return readBytes(kFileRegoleImposta);
    } catch (const FileError& error) {
        throw TaxRulesError(error.message());
    }
}

}  // namespace

TaxRules readTaxRules()
{
    return parseTaxRules(rulesFileBytes());
}

TaxRulesReading readTaxRulesLeniently()
{
    return parseTaxRulesLeniently(rulesFileBytes());
}

std::vector<std::pair<int, int>> overlappingSeasons(const TaxRules& rules)
{
    std::vector<std::pair<int, int>> pairs;
    for (size_t i = 0; i < rules.seasons.size(); ++i) {
        for (size_t j = i + 1; j < rules.seasons.size(); ++j) {
            const TaxSeason& a = rules.seasons[i];
            const TaxSeason& b = rules.seasons[j];
            if (a.first <= b.last && b.first <= a.last)
                pairs.emplace_back(static_cast<int>(i), static_cast<int>(j));
        }
    }
    return pairs;
}

QString eurosProblem(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^([-+]?)(\\d*)(?:[.,](\\d*))?$"));
    const QRegularExpressionMatch m = number.match(text);
    if (text.isEmpty())
        return QStringLiteral("manca l'importo");
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        return QStringLiteral("\"%1\" non è un importo in euro").arg(shownInMessage(text));
    if (m.captured(1) == QLatin1String("-"))
        return QStringLiteral("\"%1\" è negativo").arg(shownInMessage(text));
    if (m.captured(3).size() > 2)
        return QStringLiteral("\"%1\" ha più di due decimali").arg(shownInMessage(text));
    QString whole = m.captured(2);
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    if (whole.size() > 9)
        return QStringLiteral("\"%1\" è troppo grande (al più 999999999,99)").arg(shownInMessage(text));
    if (!parseEuros(text))
        return QStringLiteral("\"%1\" non è un importo in euro").arg(shownInMessage(text));
    return {};
}

QByteArray taxRulesText(const TaxRules& rules)
{
    QString text = QStringLiteral("# Regole dell'imposta di soggiorno") + kCrLf;
    text += kTariffa + QLatin1Char('=') + eurosText(rules.tariffCents) + kCrLf;
    for (const TaxSeason& season : rules.seasons) {
        text += kStagione + QLatin1Char('=') + dateText(season.first) + QLatin1Char(' ') + dateText(season.last)
            + QLatin1Char(' ') + eurosText(season.cents) + kCrLf;
    }
    if (rules.exemptAge > 0)
        text += kEtaEsente + QLatin1Char('=') + QString::number(rules.exemptAge) + kCrLf;
    if (rules.maxNights > 0)
        text += kNottiMassime + QLatin1Char('=') + QString::number(rules.maxNights) + kCrLf;
    if (!rules.residentMunicipality.isEmpty())
        text += kComuneResidenti + QLatin1Char('=') + text::blankControls(rules.residentMunicipality) + kCrLf;
    return text::toCp1252(text);
}

void writeTaxRules(const TaxRules& rules)
{
    // A failed save leaves the rules the report used before whole.
    writeWholeFile(kFileRegoleImposta, taxRulesText(rules));
}

QStringList describeTaxRules(const TaxRules& rules)
{
    QStringList lines;
    lines << QStringLiteral("Tariffa: %1 euro a persona per notte").arg(eurosText(rules.tariffCents));
    for (const TaxSeason& season : rules.seasons) {
        lines << QStringLiteral("Stagione dal %1 al %2: %3 euro a persona per notte")
                     .arg(dateText(season.first), dateText(season.last), eurosText(season.cents));
    }
    if (rules.seasons.size() > 1)
        lines << QStringLiteral("Dove le stagioni si sovrappongono vale l'ultima scritta");
    lines << (rules.exemptAge > 0
                  ? QStringLiteral("Esenti i minori di %1 anni alla data di arrivo").arg(rules.exemptAge)
                  : QStringLiteral("Nessuna esenzione per età"));
    lines << (rules.maxNights > 0
                  ? QStringLiteral("Tassate al più le prime %1 notti di ogni soggiorno").arg(rules.maxNights)
                  : QStringLiteral("Nessun limite di notti tassate"));
    lines << (rules.residentMunicipality.isEmpty()
                  ? QStringLiteral("Nessuna esenzione per residenza")
                  : QStringLiteral("Esenti i residenti a %1").arg(text::blankControls(rules.residentMunicipality)));
    return lines;
}

}  // namespace ostelvia::exporter
