// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own dialogs (the file and folder choosers, the print dialog) in
// Italian, like the rest of the tool.
#pragma once

class QCoreApplication;

namespace ostelvia::ui {

// Installs Qt's Italian translations on the application. False when they are
// not installed (Debian: qt6-translations-l10n): the dialogs stay in English.
bool loadQtItalian(QCoreApplication& app);

}  // namespace ostelvia::ui
