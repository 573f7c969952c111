// SPDX-License-Identifier: GPL-3.0-or-later
// Geometry of the message dialog in twips: a pure function of the message
// text, the style code and the screen's available area, so it can be checked
// without a window.
#pragma once

#include "ui/dialogs/MsgBoxCodes.h"
#include "ui/dialogs/Twips.h"

#include <QString>

#include <array>

namespace ostelvia::ui::msgbox {

// Design values of the form, in twips.
inline constexpr int kFormWidth = 4695;
inline constexpr int kFormHeight = 3135;
inline constexpr int kLabel1Height = 375;
inline constexpr int kText1Left = 120;
inline constexpr int kText1Top = 480;
inline constexpr int kButtonWidth = 975;
inline constexpr int kButtonHeight = 615;
inline constexpr int kButtonGap = 70;

// The buttons a style code offers. Codes outside the known ones get the
// single "Ok" button, so that every dialog has a way to be closed.
enum class Buttons { Ok, YesNo, YesNoCancel };

Buttons buttonsForStyle(int stile);

// True for the styles that put the focus on T(0) explicitly at each
// activation (4, 36, 35, 51); the others rely on the tab order.
bool focusesFirstButton(int stile);

// Rows the message box is sized for: one per line plus one spare.
int CalcolaRighe(const QString& testo);
// Columns the dialog is sized for: the longest run between CRs plus one,
// never less than 51. The LF of a CR LF pair counts as a column.
int CalcolaColonne(const QString& testo);

struct Layout {
    int rows = 0;  // as computed, before any limit
    int columns = 0;
    TwipRect form;  // left and top within the screen's available area
    TwipRect label1;
    TwipRect text1;
    std::array<TwipRect, 3> t;
    std::array<bool, 3> visible{};
};

// Where the load handler puts the form: centred at its design size, never
// above or left of the available area.
TwipRect positionAtLoad(TwipSize schermo);

// The layout at activation. The form grows right and down from its load
// position; when it no longer fits it is clamped to the available area (and
// Text1 scrolls), so the whole dialog stays on the screen.
Layout computeLayout(const QString& testo, int stile, TwipSize schermo);

}  // namespace ostelvia::ui::msgbox
