// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/MsgBoxLayout.h"

#include <algorithm>

namespace ostelvia::ui::msgbox {

Buttons buttonsForStyle(int stile)
{
    if (stile == codeOf(Stile::SiNo) || stile == codeOf(Stile::DomandaSiNo) || (stile >= 200 && stile <= 400))
        return Buttons::YesNo;
    if (stile == codeOf(Stile::DomandaSiNoAnnulla) || stile == codeOf(Stile::ErroreSiNoAnnulla))
        return Buttons::YesNoCancel;
    return Buttons::Ok;
}

bool focusesFirstButton(int stile)
{
    return stile == codeOf(Stile::SiNo) || stile == codeOf(Stile::DomandaSiNo)
        || stile == codeOf(Stile::DomandaSiNoAnnulla) || stile == codeOf(Stile::ErroreSiNoAnnulla);
}

// One row more than the text has lines.
int CalcolaRighe(const QString& testo)
{
    return countReturns(testo) + 2;
}

int CalcolaColonne(const QString& testo)
{
    return longestRun(testo, 50) + 1;
}

TwipRect positionAtLoad(TwipSize schermo)
{
    return centredOnScreen(kFormWidth, kFormHeight, schermo);
}

Layout computeLayout(const QString& testo, int stile, TwipSize schermo)
{
    Layout l;
    l.rows = CalcolaRighe(testo);
    l.columns = CalcolaColonne(testo);

    const int resto = kLabel1Height + kButtonHeight + 300;
    const TextSpace spazio = textSpaceFor(l.columns, l.rows, resto, schermo);
    const int larghezza = spazio.width;
    const int altezzaTesto = spazio.textHeight;
    const int altezza = altezzaTesto + resto;

    l.label1 = {0, 0, larghezza, kLabel1Height};
    l.text1 = {kText1Left, kText1Top, larghezza - 180, altezzaTesto};

    const int B = kButtonWidth;
    const int topPulsanti = kText1Top + altezzaTesto + 100;
    // Buttons keep their design lefts where the style does not place them.
    l.t = {TwipRect{120, topPulsanti, B, kButtonHeight}, TwipRect{1200, topPulsanti, B, kButtonHeight},
           TwipRect{2280, topPulsanti, B, kButtonHeight}};
    const auto meta = [](int x) { return IntTwip(static_cast<float>(x) / 2.0f); };
    switch (buttonsForStyle(stile)) {
    case Buttons::Ok:
        l.t[0].left = meta(larghezza - B);
        l.visible = {true, false, false};
        break;
    case Buttons::YesNo:
        l.t[0].left = meta(larghezza - (2 * B + kButtonGap));
        l.t[1].left = l.t[0].left + B + kButtonGap;
        l.visible = {true, true, false};
        break;
    case Buttons::YesNoCancel:
        l.t[0].left = meta(larghezza - (3 * B + 2 * kButtonGap));
        l.t[1].left = l.t[0].left + B + kButtonGap;
        l.t[2].left = l.t[1].left + l.t[1].width + kButtonGap;
        l.visible = {true, true, true};
        break;
    }

    const TwipRect origine = positionAtLoad(schermo);
    l.form = {origine.left, origine.top, larghezza, altezza};
    if (schermo.width > 0)
        l.form.left = std::max(0, std::min(l.form.left, schermo.width - larghezza));
    if (schermo.height > 0)
        l.form.top = std::max(0, std::min(l.form.top, schermo.height - altezza));
    return l;
}

}  // namespace ostelvia::ui::msgbox
