// SPDX-License-Identifier: GPL-3.0-or-later
// What the message dialog and the input dialog share: fonts with their
// fallbacks, the look of the text boxes and buttons, the framed background.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QAbstractButton;
class QLabel;
class QPushButton;
class QTextEdit;
class QWidget;

namespace ostelvia::ui {

inline const QColor kDarkGreen(0, 128, 0);
inline const QColor kBlue(0, 0, 255);

// "Corbel" falls back to Carlito (same metrics), "Arial" to Liberation Sans.
QFont corbelFont(qreal punti, bool grassetto = false);
QFont arialFont(qreal punti, bool grassetto = false);

// Messages separate lines by CR, normally CR LF; a text box shows a line
// break for each.
QString textForDisplay(const QString& testo);

// Label1: the title line, dark green bold, centred, shown as plain text.
void prepareTitle(QLabel* label);
// Text1: borderless, blue on white, centred, read-only; a vertical scroll bar
// appears only when the text does not fit.
void prepareTextBox(QTextEdit* text);
void showInTextBox(QTextEdit* text, const QString& testo);
// A button that is never the default one: Enter or Space press it only when
// it has the focus.
void prepareButton(QPushButton* pulsante);
// Enter presses the button while it has the focus, as Space does.
void enterPressesButton(QAbstractButton* pulsante);

// Shape1: white fill with a dark green outline two pixels wide.
void paintBackground(QWidget* form);

}  // namespace ostelvia::ui
