// SPDX-License-Identifier: GPL-3.0-or-later
// The rules of the overnight-stay tax, "ImpostaSoggiorno.txt" in the
// front-office folder: a tariff per person per night, seasons with their own
// tariff, the age under which a guest pays nothing, the most nights of a stay
// that are taxed, and the municipality whose residents pay nothing.
//
// Windows-1252, one "Chiave=Valore" per line; blank lines and lines starting
// with "#" are skipped; keys match without regard to letter case. A wrong
// file is never half used by the report: reading it raises TaxRulesError
// naming the file and the line. The rules dialog reads what is right of it.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

#include "text/Error.h"

namespace ostelvia::exporter {

inline const QString kFileRegoleImposta = QStringLiteral("ImpostaSoggiorno.txt");

class TaxRulesError : public Error {
public:
    using Error::Error;
};

// Nights from `first` to `last`, both included, pay `cents`.
struct TaxSeason {
    QDate first;
    QDate last;
    qint64 cents = 0;
    bool operator==(const TaxSeason&) const = default;
};

struct TaxRules {
    qint64 tariffCents = 0;          // Tariffa: every night no season covers
    std::vector<TaxSeason> seasons;  // Stagione, in the file's order: the last that covers a night wins
    int exemptAge = 0;               // EtaEsente: 0 for none
    int maxNights = 0;               // NottiMassime: 0 for no limit
    QString residentMunicipality;    // ComuneResidenti, trimmed: "" for none
    int residentLine = 0;            // its line, for the message when the code table lacks it

    // The tariff of the night that starts on `night`.
    qint64 tariffOn(const QDate& night) const;

    bool operator==(const TaxRules&) const = default;
};

// "3,50" or "3.50" (at most two decimals, no sign, no thousands separator)
// as cents; nothing when malformed.
std::optional<qint64> parseEuros(const QString& text);
// A dd/mm/yyyy text naming a real day; nothing otherwise.
std::optional<QDate> parseTypedDate(const QString& text);
// Cents as the report writes them: "1234,50".
QString eurosText(qint64 cents);

// Why a written amount is not one parseEuros takes ("-2 è negativo", "è
// troppo grande"); empty when it is.
QString eurosProblem(const QString& text);

// Parses the file's bytes: Windows-1252, or UTF-8 when they are valid UTF-8
// (with or without its mark); UTF-16 is refused by name. fileName only names
// the file in messages.
TaxRules parseTaxRules(const QByteArray& bytes, const QString& fileName = kFileRegoleImposta);

// A file read for editing: the rules of every right line, and the message
// of the first wrong one (or of the missing tariff, or of an encoding that
// cannot be read, then with no rules at all).
struct TaxRulesReading {
    TaxRules rules;
    QString problem;      // empty: the file is right
    int problemLine = 0;  // the wrong line; 0 when the problem is no one line's
    bool tariffRead = false;
};
TaxRulesReading parseTaxRulesLeniently(const QByteArray& bytes, const QString& fileName = kFileRegoleImposta);
TaxRulesReading readTaxRulesLeniently();

// The pairs of seasons (indexes, in the rules' order) that share a night.
std::vector<std::pair<int, int>> overlappingSeasons(const TaxRules& rules);

// "ImpostaSoggiorno.txt" in the current directory; a missing or unreadable
// file raises TaxRulesError too.
TaxRules readTaxRules();

// The file that parseTaxRules reads back as the same rules, CR LF ended,
// Windows-1252; seasons keep their order.
QByteArray taxRulesText(const TaxRules& rules);

// Writes the rules to "ImpostaSoggiorno.txt" in the current directory,
// through a file beside it renamed into place. Raises FileError.
void writeTaxRules(const TaxRules& rules);

// The rules in words, one line each, as the report prints them.
QStringList describeTaxRules(const TaxRules& rules);

}  // namespace ostelvia::exporter
