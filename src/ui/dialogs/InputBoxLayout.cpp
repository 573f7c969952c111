// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/InputBoxLayout.h"

#include <algorithm>

namespace ostelvia::ui::inputbox {

int CalcolaRighe(const QString& testo)
{
    return countReturns(testo) + 1;
}

int CalcolaColonne(const QString& testo)
{
    return longestRun(testo, 80);
}

Layout computeLayout(const QString& testo, TwipSize schermo)
{
    Layout l;
    l.rows = CalcolaRighe(testo);
    l.columns = CalcolaColonne(testo);

    const int resto = kLabel1Height + kText2Height + kButtonHeight + 600;
    const TextSpace spazio = textSpaceFor(l.columns, l.rows, resto, schermo);
    const int larghezza = spazio.width;
    const int altezzaTesto = spazio.textHeight;
    const int altezza = altezzaTesto + resto;

    l.label1 = {0, 0, larghezza, kLabel1Height};
    l.text1 = {kText1Left, kText1Top, larghezza - 180, altezzaTesto};
    l.text2 = {kText2Left, kText1Top + altezzaTesto + 200, larghezza - 180, kText2Height};

    const int B = kButtonWidth;
    const int topPulsanti = kText1Top + altezzaTesto + kText2Height + 300;
    l.t[0] = {larghezza - (2 * B + 200), topPulsanti, B, kButtonHeight};
    l.t[1] = {l.t[0].left + B + 70, topPulsanti, B, kButtonHeight};

    l.form = centredOnScreen(larghezza, altezza, schermo);
    return l;
}

}  // namespace ostelvia::ui::inputbox
