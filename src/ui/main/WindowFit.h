// SPDX-License-Identifier: GPL-3.0-or-later
// The size of the tool's secondary windows: the one the clerk left them at
// last time (kept in the user's settings under the window's object name),
// else the one they ask for, never larger than the free area of the screen
// they open on, so that a 1024 x 768 screen shows every button.
#pragma once

#include <QSize>
#include <QString>

class QScreen;
class QWidget;

namespace ostelvia::ui {

// The settings key under which a window's size is kept.
QString rememberedSizeKey(const QWidget* window);

// Sizes the window (remembered size, else `preferred`), bounds it to its
// screen's free area, centres it there and keeps its size when it is hidden.
// Call once the window's object name is set.
void fitToScreen(QWidget* window, QSize preferred);

// The largest outer size a window may take on the screen: the free area less
// room for a window frame.
QSize roomOnScreen(const QScreen* screen);

}  // namespace ostelvia::ui
