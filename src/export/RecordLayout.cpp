// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/RecordLayout.h"

#include "export/PresenceRecord.h"

namespace ostelvia::exporter {

namespace {

struct FieldSpec {
    int width;
    const char16_t* description;
    CodeKind code = CodeKind::None;
};

constexpr std::array<FieldSpec, kFieldCount> kSpecs{{
    {7, u"Numero componente"},
    {8, u"Data di arrivo"},
    {6, u"Ora di arrivo (fissa)"},
    {8, u"Data di arrivo (ripetuta)"},
    {8, u"Data di partenza"},
    {6, u"Ora di partenza (fissa)"},
    {1, u"Fisso 0"},
    {10, u"Numero scheda"},
    {1, u"Fisso 0"},
    {1, u"Fisso 0"},
    {2, u"Tipo di soggiorno"},
    {2, u"Fisso 01"},
    {30, u"Cognome"},
    {30, u"Nome"},
    {16, u"Spazi"},
    {8, u"Data di nascita"},
    {35, u"Spazi"},
    {2, u"Provincia di nascita"},
    {35, u"Spazi"},
    {60, u"Indirizzo"},
    {5, u"CAP"},
    {35, u"Spazi"},
    {2, u"Provincia di residenza"},
    {35, u"Spazi"},
    {320, u"Spazi"},
    {20, u"Numero del documento"},
    {10, u"Spazi"},
    {8, u"Data di rilascio del documento"},
    {3, u"Fisso 000"},
    {2, u"Tipo di ospite"},
    {9, u"Codice comune di nascita", CodeKind::Comune},
    {9, u"Codice stato di nascita", CodeKind::Stato},
    {9, u"Codice cittadinanza", CodeKind::Stato},
    {9, u"Codice comune di residenza", CodeKind::Comune},
    {9, u"Codice stato di residenza", CodeKind::Stato},
    {5, u"Tipo di documento"},
    {9, u"Codice luogo di rilascio del documento", CodeKind::ComuneOStato},
    {1, u"Sesso"},
}};

constexpr std::array<RecordField, kFieldCount> buildLayout()
{
    std::array<RecordField, kFieldCount> layout{};
    int start = 1;
    for (int i = 0; i < kFieldCount; ++i) {
        layout[i] = RecordField{i + 1, start, kSpecs[i].width, kSpecs[i].description, kSpecs[i].code};
        start += kSpecs[i].width;
    }
    return layout;
}

constexpr std::array<RecordField, kFieldCount> kLayout = buildLayout();
static_assert(kLayout.back().end() == kRecordLength, "the fields fill the record exactly");

}  // namespace

const std::array<RecordField, kFieldCount>& recordLayout()
{
    return kLayout;
}

const RecordField& recordField(int number)
{
    return kLayout.at(number - 1);
}

QString fieldOf(const QString& line, int number)
{
    const RecordField& f = recordField(number);
    return line.mid(f.start - 1, f.width);
}

ParsedLine parseLine(const QString& line)
{
    ParsedLine parsed;
    // A hand-edited file may have lost the header's trailing blanks.
    QString header = line;
    while (header.endsWith(QLatin1Char(' ')))
        header.chop(1);
    if (header == kHeaderLine.trimmed()) {
        parsed.kind = ParsedLine::Kind::Header;
        return parsed;
    }
    parsed.fields.reserve(kFieldCount);
    for (const RecordField& f : kLayout)
        parsed.fields.append(line.mid(f.start - 1, f.width));
    if (line.size() == kRecordLength) {
        parsed.kind = ParsedLine::Kind::Record;
    } else {
        parsed.problem = QStringLiteral("La riga ha %1 caratteri invece di %2: non è un record del file "
                                        "come l'ha scritto \"Crea File\" (forse è stato modificato a mano). "
                                        "I campi sono mostrati come cadono nelle posizioni.")
                             .arg(line.size())
                             .arg(kRecordLength);
    }
    return parsed;
}

QString guestName(const QString& line)
{
    const QString surname = fieldOf(line, fieldNo::Cognome).trimmed();
    const QString name = fieldOf(line, fieldNo::Nome).trimmed();
    return surname.isEmpty() || name.isEmpty() ? surname + name : surname + QLatin1Char(' ') + name;
}

QString shownDate(const QString& stored)
{
    if (stored.size() != 8)
        return stored;
    for (QChar c : stored) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return stored;
    }
    return stored.mid(6, 2) + QLatin1Char('/') + stored.mid(4, 2) + QLatin1Char('/') + stored.left(4);
}

}  // namespace ostelvia::exporter
