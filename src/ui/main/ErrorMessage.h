// SPDX-License-Identifier: GPL-3.0-or-later
// How the windows show a failure or a stopped run: the message dialog with a
// single "Ok" under the tool's error title.
#pragma once

#include <QString>

namespace ostelvia::ui {

inline const QString kTitoloErrore = QStringLiteral("Errore per Tassa di Soggiorno");

void showError(const QString& message);

}  // namespace ostelvia::ui
