// SPDX-License-Identifier: GPL-3.0-or-later
// Twips (1/1440 inch) for the dialogs' geometry, and their conversion to the
// pixels of a screen.
#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

class QScreen;

namespace ostelvia::ui {

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TwipRect&) const = default;
};

struct TwipSize {
    int width = 0;
    int height = 0;
};

// Largest integer not greater than value, as the layouts use it for halves.
int IntTwip(float value);

// A window of the given size centred on the screen, never above or left of it.
TwipRect centredOnScreen(int larghezza, int altezza, TwipSize schermo);

// What the dialogs size their text by: the number of CR characters, and the
// longest run of characters between them (at least `minimo`). Every other
// character counts, the LF of a CR LF pair included.
int countReturns(const QString& testo);
int longestRun(const QString& testo, int minimo);

// A dialog sized to its text: `colonne` columns of 90 twips and `righe` rows
// of 300, held to what 16-bit sizes allow, with `resto` twips of everything
// else below the text. Larger than the screen, the text box shrinks (to one
// row at least) and its text scrolls.
struct TextSpace {
    int width = 0;       // of the whole dialog
    int textHeight = 0;  // of the text box
};
inline constexpr int kMaxColumns = 364;  // 364 × 90 is the last width below 32,768
inline constexpr int kMaxRows = 109;     // 109 × 300 likewise for the height
TextSpace textSpaceFor(int colonne, int righe, int resto, TwipSize schermo);

int TwipsToPixels(int twips, qreal dpi);
int PixelsToTwips(int pixels, qreal dpi);
QRect TwipsToPixels(const TwipRect& rect, qreal dpi);

// A screen's available area seen in twips: its size, and where it starts in
// pixels (a task bar at the top or left moves the origin off 0,0).
struct ScreenTwips {
    TwipSize size;
    QPoint originPx;
    qreal dpi = 96.0;
};

// The primary screen when screen is null.
ScreenTwips ScreenInTwips(const QScreen* screen = nullptr);

}  // namespace ostelvia::ui
