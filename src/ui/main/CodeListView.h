// SPDX-License-Identifier: GPL-3.0-or-later
// The code list as the window offers it: "ListaPS.txt" written, then opened
// in a text viewer that runs on its own.
#pragma once

#include <QString>

namespace ostelvia::ui {

class ProcessStarter;

// The command line that opens the written list: "notepad ListaPs.txt" on
// Windows, the desktop's default opener on the file elsewhere.
QString listViewerCommand();

// Writes the list and starts the viewer without waiting. A database or file
// failure, or a viewer that cannot start, is shown in the message dialog.
// Returns true when the viewer was started.
bool CreaListaPS(ProcessStarter& avvio);

}  // namespace ostelvia::ui
