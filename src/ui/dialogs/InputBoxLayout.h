// SPDX-License-Identifier: GPL-3.0-or-later
// Geometry of the input dialog in twips: a pure function of the prompt and
// the screen's available area.
#pragma once

#include "ui/dialogs/Twips.h"

#include <QString>

#include <array>

namespace ostelvia::ui::inputbox {

// Design values of the form, in twips.
inline constexpr int kFormWidth = 4680;
inline constexpr int kFormHeight = 3120;
inline constexpr int kLabel1Height = 375;
inline constexpr int kText1Left = 120;
inline constexpr int kText1Top = 600;
inline constexpr int kText2Left = 120;
inline constexpr int kText2Height = 375;
inline constexpr int kButtonWidth = 975;
inline constexpr int kButtonHeight = 615;

// Rows the prompt box is sized for: one per line, no spare.
int CalcolaRighe(const QString& testo);
// Columns the dialog is sized for: the longest run between CRs, never less
// than 80. The LF of a CR LF pair counts as a column.
int CalcolaColonne(const QString& testo);

struct Layout {
    int rows = 0;  // as computed, before any limit
    int columns = 0;
    TwipRect form;  // left and top within the screen's available area
    TwipRect label1;
    TwipRect text1;
    TwipRect text2;
    std::array<TwipRect, 2> t;
};

// The layout at activation, centred again at the new size; clamped to the
// available area when too large (Text1 then scrolls).
Layout computeLayout(const QString& testo, TwipSize schermo);

}  // namespace ostelvia::ui::inputbox
