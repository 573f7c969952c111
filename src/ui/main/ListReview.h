// SPDX-License-Identifier: GPL-3.0-or-later
// Reviewing the list before sending: every field of a line (double-click or
// the context menu "Mostra i campi…") and the "&Verifica" menu's totals.
#pragma once

class QAction;
class QMenu;
class QMenuBar;

namespace ostelvia::ui {

class LinesView;

// Double-click on a line, or its context menu, opens the line's field view.
// A double-click leaves the line's selection as it was before it.
void connectFieldView(LinesView* list);

// The "&Verifica" menu of the bar, added when the bar has none yet.
QMenu* checksMenu(QMenuBar* bar);

// "&Riepilogo…" in that menu: the totals of the list's lines.
QAction* addTotalsAction(QMenu* menu, LinesView* list);

}  // namespace ostelvia::ui
