// SPDX-License-Identifier: GPL-3.0-or-later
// The front-office program's folder for the window: remembered in the user's
// settings, asked for once with a folder chooser, changed from the
// "Impostazioni" menu. Working in a folder means making it the current
// directory, where every file of the tool is looked for.
#pragma once

#include <QString>
#include <QVariant>

#include <functional>

class QWidget;

namespace ostelvia::ui {

inline const QString kTitoloSceltaCartella = QStringLiteral("Scegli la cartella del programma di ricevimento");
inline const QString kVoceCartella = QStringLiteral("Cartella del programma di ricevimento\u2026");

// The user's settings (UserSettings.h): organisation and application, and the key
// of the remembered folder.
inline const QString kOrganizzazione = QStringLiteral("Ostelvia");
inline const QString kApplicazione = QStringLiteral("Ostelvia");
inline const QString kChiaveCartella = QStringLiteral("CartellaRicevimento");

// Asks for a folder under the given title, starting at the given folder; ""
// when the user cancels.
using FolderChooser = std::function<QString(QWidget* parent, const QString& titolo, const QString& partenza)>;

// The chooser in use: the platform's folder dialog unless a test put its own.
FolderChooser& folderChooser();

QString rememberedFolder();
// The reason the folder could not be remembered, or empty.
QString rememberFolder(const QString& cartella);

struct FolderOutcome {
    enum class Kind { Current, Remembered, Chosen, Cancelled, Failed };
    Kind kind = Kind::Cancelled;
    QString error;  // plain Italian, when the chosen folder cannot be entered
};

// The folder the window starts in when none is given: the current directory
// when it holds the guest database, else the remembered folder when that
// does, else the folder the user chooses, which is then remembered.
FolderOutcome enterStartFolder(QWidget* parent = nullptr);

// What the window says when the clerk cancels the chooser at first start.
inline const QString kNessunaCartella =
    QStringLiteral("Nessuna cartella del programma di ricevimento è stata scelta: senza le schede dei clienti (%1) il "
                   "programma non può lavorare e si chiude. Alla prossima apertura la scelta verrà chiesta di nuovo.");

// The menu command: asks for a folder starting at the current one, enters
// and remembers it. Cancelled when the user cancels (nothing changes).
// A folder without the guest database is refused with a message and asked
// for again, here and at first start.
FolderOutcome changeFolder(QWidget* parent);

}  // namespace ostelvia::ui
