// SPDX-License-Identifier: GPL-3.0-or-later
// The date and field routines: clean a typed field, complete a typed date,
// check a date, compare two dates. Texts are passed by reference because the
// routines rewrite their caller's text where the rules say so.
#pragma once

#include <QString>
#include <QStringView>

#include <array>

namespace ostelvia::checks {

// Month lengths, January (1) to December (12); element 0 is unused.
// ControllaData rewrites the February entry on each call that gets that far.
extern std::array<int, 13> GiorniMese;

// Fills GiorniMese with 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31.
void InizializzaGiorniMese();

// Numeric value of a piece of text: blanks ignored, then a decimal number
// read from the start (sign, digits, decimal point, exponent); 0 when none.
double leadingNumber(QStringView piece);

// Trims valore (rewritten), returns it upper-cased with "'" turned into "´";
// an empty result becomes one blank.
QString PulisciCampo(QString& valore);

// ddmmyy or ddmmyyyy to dd/mm/yyyy (rewrites testoData); other lengths unchanged.
QString NormalizzaData(QString& testoData);

// 1 when testoData is a valid dd/mm/yyyy date, else 0. A 10-character trimmed
// text is stored back trimmed.
int ControllaData(QString& testoData);

// 1 when prima is not after seconda, else 0. Both are cut to 10 characters.
int ConfrontaDate(QString& prima, QString& seconda);

// 1 when anno is divisible by 4 (no century rule), else 0.
int AnnoBisestile(int anno);

}  // namespace ostelvia::checks
