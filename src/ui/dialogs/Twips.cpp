#include "ui/dialogs/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace ostelvia::ui {

int IntTwip(float value)
{
    return static_cast<int>(std::floor(value));
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
    return QRect(TwipsToPixels(rect.left, dpi), TwipsToPixels(rect.top, dpi),
                 TwipsToPixels(rect.width, dpi), TwipsToPixels(rect.height, dpi));
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
