// SPDX-License-Identifier: GPL-3.0-or-later
// The layout of the export file's record: 38 fields, their widths, where
// each starts and what it holds. The record writer builds by it and the
// readers (field view, totals, archive of sent files) cut by it.
#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace ostelvia::exporter {

inline constexpr int kFieldCount = 38;

// What a 9-digit code field stands for in the code table of "Comuni.mdb".
enum class CodeKind { None, Comune, Stato, ComuneOStato };

struct RecordField {
    int number;  // 1 to 38
    int start;   // first position, counted from 1
    int width;
    const char16_t* description;  // plain Italian, as the clerk reads it
    CodeKind code = CodeKind::None;

    constexpr int end() const { return start + width - 1; }
};

// Fields 1 to 38, in record order: recordLayout()[n - 1] is field n.
const std::array<RecordField, kFieldCount>& recordLayout();
const RecordField& recordField(int number);

// Fields used by the readers.
namespace fieldNo {
inline constexpr int Componente = 1;
inline constexpr int Arrivo = 2;
inline constexpr int Partenza = 5;
inline constexpr int Scheda = 8;
inline constexpr int Cognome = 13;
inline constexpr int Nome = 14;
inline constexpr int Nascita = 16;
}  // namespace fieldNo

// One line of an export file as read back.
struct ParsedLine {
    enum class Kind { Header, Record, Malformed };
    Kind kind = Kind::Malformed;
    // The 38 fields as written; for a malformed line, what its characters
    // cover of each (short or empty past its end).
    QStringList fields;
    QString problem;  // plain Italian, for a malformed line

    bool isRecord() const { return kind == Kind::Record; }
    const QString& at(int number) const { return fields.at(number - 1); }
};

ParsedLine parseLine(const QString& line);

// The field's text within a line (short or empty when the line is).
QString fieldOf(const QString& line, int number);

// "ROSSI MARIO": surname and first name fields, trimmed, one blank between.
QString guestName(const QString& line);

// yyyymmdd as dd/mm/yyyy; any other text unchanged.
QString shownDate(const QString& stored);

}  // namespace ostelvia::exporter
