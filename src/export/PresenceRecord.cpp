// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/PresenceRecord.h"

#include "checks/DateRoutines.h"
#include "db/Database.h"
#include "export/CodeLookups.h"
#include "export/RecordLayout.h"
#include "text/Blanks.h"
#include "text/WordSplit.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>

namespace ostelvia::exporter {

using text::blankControls;
using text::ParteStringa;
using text::trimBlanks;

namespace {

const QString kZeroCode = QStringLiteral("000000000");
const QString kLineEnd = QStringLiteral("\r\n");

// A character outside the BMP is two UTF-16 units but one "?" in the file;
// folding it first keeps cuts and fills counted in written characters.
QString foldSurrogates(const QString& text)
{
    // Nearly every text has no surrogate at all: hand it back shared.
    const QChar* data = text.constData();
    const QChar* const end = data + text.size();
    while (data != end && !data->isSurrogate())
        ++data;
    if (data == end)
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out.append(QLatin1Char('?'));
            ++i;
        } else if (c.isSurrogate()) {
            out.append(QLatin1Char('?'));
        } else {
            out.append(c);
        }
    }
    return out;
}

// A whole number with leading zeros to at least `width` digits. A value that
// needs more digits (or a sign) comes out longer, which the width check
// reports rather than silently cutting.
QString zeroPadded(double value, qsizetype width)
{
    if (!std::isfinite(value))
        return QString::number(value);
    const double rounded = std::round(value);
    const double magnitude = std::fabs(rounded);
    // Below 2^53 every whole number is exact: written as an integer, without
    // Qt's general number formatting, which was a tenth of a record's cost.
    const QString digits = magnitude < 9007199254740992.0 ? QString::number(static_cast<qint64>(magnitude))
                                                          : QString::number(magnitude, 'f', 0);
    QString text;
    text.reserve(std::max<qsizetype>(digits.size(), width) + 1);
    if (rounded < 0)
        text.append(QLatin1Char('-'));
    if (digits.size() < width)
        text.resize(text.size() + width - digits.size(), QLatin1Char('0'));
    text.append(digits);
    return text;
}

// A code field: the lookup's code right-justified and zero-filled; the nine
// blanks of a failed lookup stay as they are.
QString codeField(const QString& code)
{
    if (code == kNoCode || code.size() > 9)
        return code;
    QString field(9 - code.size(), QLatin1Char('0'));
    return field.append(code);
}

class RecordBuilder {
public:
    explicit RecordBuilder(const db::Recordset& card) : card_(card) { }

    QString text(const char16_t* name) const { return foldSurrogates(field(name).toText()); }
    // The stored text as the lookups and comparisons see it.
    QString raw(const char16_t* name) const { return field(name).toText(); }
    double number(const char16_t* name) const { return field(name).toNumber(); }

    // Width of the field added next, from the shared layout.
    qsizetype width() const { return recordLayout().at(fieldNumber_).width; }

    void add(QStringView produced)
    {
        const qsizetype expected = width();
        ++fieldNumber_;
        // Nearly every field is clean: one pass tells, and nothing is copied.
        if (!text::hasControlOrSurrogate(produced)) {
            append(produced, expected);
            return;
        }
        append(blankControls(foldSurrogates(produced.toString())), expected);
    }

    // "First N characters, filled": the text cut to the field's width and
    // filled with blanks up to it.
    void addFilled(QStringView text)
    {
        const qsizetype expected = width();
        const QStringView cut = text.left(expected);
        if (text::hasControlOrSurrogate(cut)) {
            add(cut.toString() + QString(expected - cut.size(), QLatin1Char(' ')));
            return;
        }
        ++fieldNumber_;
        put(cut);
        fill(expected - cut.size());
    }
    // "First N characters, trimmed, filled": the cut comes before the trim.
    void addTrimmedFilled(QStringView text) { addFilled(trimBlanks(text.left(width()))); }

    void blanks() { addFilled({}); }

    PresenceRecord finish(const QString& guestName) const
    {
        PresenceRecord record;
        if (misfits_.isEmpty()) {
            // Every field had its width, so the line is whole.
            record.riga = QString(reinterpret_cast<const QChar*>(line_.data()), length_);
        } else {
            for (const QString& line : misfits_) {
                record.widthErrorLines.append(line + guestName);
                record.widthErrors += record.widthErrorLines.constLast() + kLineEnd;
            }
        }
        return record;
    }

private:
    void append(QStringView written, qsizetype expected)
    {
        if (written.size() != expected) {
            misfits_.append(QStringLiteral("Tracciato record errato (campo ") + QString::number(fieldNumber_)
                            + QStringLiteral(": ") + written.toString() + QStringLiteral(") "));
        }
        put(written);
    }

    // The line is written in place; past its length (a field too wide,
    // which the misfits report) characters are only counted.
    void put(QStringView text)
    {
        const qsizetype room = std::clamp<qsizetype>(kRecordLength - length_, 0, text.size());
        if (room > 0)  // an empty view may have no data at all
            std::memcpy(line_.data() + length_, text.utf16(), sizeof(char16_t) * static_cast<size_t>(room));
        length_ += text.size();
    }
    void fill(qsizetype blanks)
    {
        // Copied from a line of blanks: filling one by one was a twentieth
        // of a record's cost.
        static const std::array<char16_t, kRecordLength> blankLine = [] {
            std::array<char16_t, kRecordLength> line;
            line.fill(u' ');
            return line;
        }();
        const qsizetype room = std::clamp<qsizetype>(kRecordLength - length_, 0, blanks);
        std::memcpy(line_.data() + length_, blankLine.data(), sizeof(char16_t) * static_cast<size_t>(room));
        length_ += blanks;
    }

    // Names are literals: wrapped, not copied.
    db::Value field(const char16_t* name) const
    {
        return card_.field(QString::fromRawData(reinterpret_cast<const QChar*>(name),
                                                static_cast<qsizetype>(std::char_traits<char16_t>::length(name))));
    }

    const db::Recordset& card_;
    int fieldNumber_ = 0;
    std::array<char16_t, kRecordLength> line_;
    qsizetype length_ = 0;
    QStringList misfits_;
};

QString stayKind(double codIds)
{
    if (codIds < 10000)
        return QStringLiteral("01");
    if (codIds == 10015)
        return QStringLiteral("00");
    return zeroPadded(codIds - 10000, 2);
}

QString guestKind(const RecordBuilder& b)
{
    const QString family = b.raw(u"CapoFamiglia");
    const QString group = b.raw(u"CapoGruppo");
    if (family == QLatin1String("S"))
        return QStringLiteral("17");
    if (family == QLatin1String("N") && b.number(u"CodiceCapoFamiglia") > 0)
        return QStringLiteral("19");
    if (group == QLatin1String("S"))
        return QStringLiteral("18");
    if (group == QLatin1String("N") && b.number(u"CodiceCapoGruppo") > 0)
        return QStringLiteral("20");
    return QStringLiteral("16");
}

QString issueDate(const QString& stored)
{
    if (stored.size() != 8)
        return QStringLiteral("00000000");
    return zeroPadded(checks::leadingNumber(stored), 8);
}

}  // namespace

PresenceRecord CostruisciRiga(db::Run& run, const db::Recordset& scheda)
{
    RecordBuilder b(scheda);

    const QString arrival = b.text(u"DataArrivo");
    const QString departure = b.text(u"DataPartenzaReale");
    QString name = b.text(u"NomeCliente");
    if (name.startsWith(QLatin1Char('^')))
        name.remove(0, 1);
    const QString birthPlace = b.raw(u"LuogoNascita");
    const QString issuer = b.raw(u"AutoritaRilascioDocumento");

    // A Long progressive number plus the year digits overflows 32 bits; a
    // double holds every such sum exactly.
    const double cardNumber = b.number(u"NumeroProgressivo") + 1000000.0 * checks::leadingNumber(arrival.mid(2, 2));

    b.add(zeroPadded(b.number(u"NumeroComponente"), b.width()));      // 1
    b.add(arrival);                                                   // 2
    b.add(QStringLiteral("180000"));                                  // 3
    b.add(arrival);                                                   // 4
    b.add(departure);                                                 // 5
    b.add(QStringLiteral("100000"));                                  // 6
    b.add(QStringLiteral("0"));                                       // 7
    b.add(zeroPadded(cardNumber, b.width()));                         // 8
    b.add(QStringLiteral("0"));                                       // 9
    b.add(QStringLiteral("0"));                                       // 10
    b.add(stayKind(b.number(u"CodIDS")));                             // 11
    b.add(QStringLiteral("01"));                                      // 12
    b.addFilled(ParteStringa(name, 1));                               // 13
    b.addFilled(ParteStringa(name, 0));                               // 14
    b.blanks();                                                       // 15
    b.add(b.text(u"DataNascita"));                                    // 16
    b.blanks();                                                       // 17
    b.addTrimmedFilled(ParteStringa(foldSurrogates(birthPlace), 2));  // 18
    b.blanks();                                                       // 19
    b.addTrimmedFilled(b.text(u"Indirizzo"));                         // 20
    b.addTrimmedFilled(b.text(u"CAP"));                               // 21
    b.blanks();                                                       // 22
    b.addTrimmedFilled(b.text(u"Provincia"));                         // 23
    b.blanks();                                                       // 24
    b.blanks();                                                       // 25
    b.addFilled(b.text(u"NumeroDocumento"));                          // 26
    b.blanks();                                                       // 27
    b.add(issueDate(b.text(u"DataRilascioDocumento")));               // 28
    b.add(QStringLiteral("000"));                                     // 29
    b.add(guestKind(b));                                              // 30

    const QString birthState = ParteStringa(birthPlace, 0);
    b.add(birthState == QLatin1String("I") ? codeField(CodiceComune(run, ParteStringa(birthPlace, 3)))
                                           : kZeroCode);           // 31
    b.add(codeField(CodiceStatoDaSigla(run, birthState)));         // 32
    b.add(codeField(CodiceStatoDaSigla(run, b.raw(u"Nazione"))));  // 33
    const QString state = b.raw(u"Stato");
    b.add(trimBlanks(state) == QLatin1String("I") ? codeField(CodiceComune(run, b.raw(u"Residenza")))
                                                  : kZeroCode);  // 34
    b.add(codeField(CodiceStatoDaSigla(run, state)));            // 35
    b.addFilled(b.text(u"TipoDocumento"));                       // 36
    QString issuePlace = CodiceComune(run, issuer);
    if (trimBlanks(issuePlace).isEmpty())
        issuePlace = CodiceStato(run, issuer);
    b.add(codeField(issuePlace));  // 37
    b.add(b.text(u"Sesso"));       // 38

    return b.finish(scheda.field(QStringLiteral("NomeCliente")).toText());
}

}  // namespace ostelvia::exporter
