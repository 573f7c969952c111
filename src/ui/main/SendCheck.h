// The safety net of "Invia": the comparison with the archive of earlier
// sends before the export file is written, and the archive copy after.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace ostelvia::ui {

// Asks a Sì/No question in the message dialog; true for "Si".
using Domanda = std::function<bool(const QString& messaggio)>;

// The archive folder of the front-office directory (the current one).
QString CartellaArchivio();

// Compares the selected records with the archive; when some were sent
// before (or archive files could not be read) asks whether to send anyway.
// True to go on; without an archive nothing is asked.
bool ConfermaInvio(const QStringList& righe, const QVector<int>& selezionate, const Domanda& chiedi);

// Keeps the copy of the export file just written; when it cannot, asks
// whether to send anyway. True to go on.
bool ArchiviaInvio(const QString& percorsoEsportazione, const QDateTime& quando, const Domanda& chiedi);

}  // namespace ostelvia::ui
