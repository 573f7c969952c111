// SPDX-License-Identifier: GPL-3.0-or-later
// The safety net of "Invia": the comparison with the archive of earlier
// sends before the export file is written, and the archive copy after.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

#include "export/ExportLines.h"

namespace ostelvia::ui {

// Asks a Sì/No question in the message dialog; true for "Sì".
using YesNoQuestion = std::function<bool(const QString& question)>;

// The archive folder of the front-office directory (the current one).
QString archiveFolder();

// Compares the selected records with the archive; when some were sent
// before (or archive files could not be read) asks whether to send anyway.
// True to go on; without an archive nothing is asked. `notSends` gets the
// archive files found to be no copy of a send.
bool confirmSend(const exporter::ExportLines& lines, const QVector<int>& selected, const YesNoQuestion& ask,
                 QStringList* notSends = nullptr);

// Keeps the copy of the export file just written; when it cannot, asks
// whether to send anyway. True to go on.
bool archiveSend(const QString& exportPath, const QDateTime& when, const YesNoQuestion& ask);

}  // namespace ostelvia::ui
