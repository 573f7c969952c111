// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/Twips.h"

#include <algorithm>

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace ostelvia::ui {

int IntTwip(float value)
{
    return static_cast<int>(std::floor(value));
}

TwipRect centredOnScreen(int larghezza, int altezza, TwipSize schermo)
{
    const int top = IntTwip(static_cast<float>(schermo.height - altezza) / 2.0f);
    const int left = IntTwip(static_cast<float>(schermo.width - larghezza) / 2.0f);
    return {std::max(0, left), std::max(0, top), larghezza, altezza};
}

int countReturns(const QString& testo)
{
    return static_cast<int>(testo.count(QChar(13)));
}

int longestRun(const QString& testo, int minimo)
{
    int piuLunga = minimo;
    int corsa = 0;
    for (QChar c : testo) {
        if (c == QChar(13)) {
            piuLunga = std::max(piuLunga, corsa);
            corsa = 0;
        } else {
            ++corsa;
        }
    }
    return std::max(piuLunga, corsa);
}

TextSpace textSpaceFor(int colonne, int righe, int resto, TwipSize schermo)
{
    TextSpace spazio{std::min(colonne, kMaxColumns) * 90, std::min(righe, kMaxRows) * 300};
    if (schermo.width > 0)
        spazio.width = std::min(spazio.width, schermo.width);
    if (schermo.height > 0 && spazio.textHeight + resto > schermo.height)
        spazio.textHeight = std::max(300, schermo.height - resto);
    return spazio;
}

int TwipsToPixels(int twips, qreal dpi)
{
    return qRound(twips * dpi / 1440.0);
}

int PixelsToTwips(int pixels, qreal dpi)
{
    return qRound(pixels * 1440.0 / dpi);
}

QRect TwipsToPixels(const TwipRect& rect, qreal dpi)
{
    return QRect(TwipsToPixels(rect.left, dpi), TwipsToPixels(rect.top, dpi), TwipsToPixels(rect.width, dpi),
                 TwipsToPixels(rect.height, dpi));
}

ScreenTwips ScreenInTwips(const QScreen* screen)
{
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    ScreenTwips result;
    if (!screen)
        return result;
    result.dpi = screen->logicalDotsPerInch();
    if (result.dpi <= 0)
        result.dpi = 96.0;
    const QRect area = screen->availableGeometry();
    result.size = {PixelsToTwips(area.width(), result.dpi), PixelsToTwips(area.height(), result.dpi)};
    result.originPx = area.topLeft();
    return result;
}

}  // namespace ostelvia::ui
