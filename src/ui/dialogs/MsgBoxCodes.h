// SPDX-License-Identifier: GPL-3.0-or-later
// The message dialog's style and answer codes, the values of the platform
// message box's flags. The exchange variables hold them as plain numbers.
#pragma once

#include <QtGlobal>

namespace ostelvia::ui {

// The styles the dialog knows. Codes 200 to 400 also show "Sì" and "No";
// any other code shows "Ok" alone.
enum class Stile : qint16 {
    Ok = 0,
    SiNo = 4,
    DomandaSiNoAnnulla = 35,
    DomandaSiNo = 36,
    Errore = 48,
    ErroreSiNoAnnulla = 51,
};

// The button pressed: "Ok" answers 0, not 1.
enum class Risposta : qint16 {
    Ok = 0,
    Annulla = 2,
    Si = 6,
    No = 7,
};

constexpr qint16 codeOf(Stile stile)
{
    return static_cast<qint16>(stile);
}

constexpr qint16 codeOf(Risposta risposta)
{
    return static_cast<qint16>(risposta);
}

}  // namespace ostelvia::ui
