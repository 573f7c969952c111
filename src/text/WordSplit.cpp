// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/WordSplit.h"

#include "text/Blanks.h"

namespace ostelvia::text {

QString ParteStringa(const QString& testo, int parte)
{
    if (parte < 0 || parte > 3)
        return QString();
    // Views until the part is known: a record splits four or five texts.
    const QStringView t = trimBlanks(QStringView(testo));
    if (t.isEmpty())
        return QString();

    // The backward scans below stop at the first character, which would cut
    // a lone word in two; a text without a blank is its own last word.
    if (!t.contains(QLatin1Char(' ')))
        return parte == 0 ? t.toString() : QString();

    // Positions are 1-based: character p is at(p - 1).
    const qsizetype l = t.size();
    const auto blankAt = [t](qsizetype pos) { return t.at(pos - 1) == QLatin1Char(' '); };

    qsizetype p = l;
    while (!blankAt(p) && p > 1)
        --p;
    qsizetype q = p - 1;
    while (!blankAt(q) && q > 1)
        --q;

    QStringView part;
    switch (parte) {
    case 0:
        part = t.right(l - p);
        break;
    case 1:
        part = t.left(p);
        break;
    case 2:
        // The second-to-last word together with the blank at p; with only two
        // words q stops at 1, so the first word loses its first character.
        part = t.mid(q, p - q);
        break;
    default:
        part = t.left(q - 1);
        break;
    }
    return trimBlanks(part).toString();
}

}  // namespace ostelvia::text
