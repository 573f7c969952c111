// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/FrontOfficeFolder.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "export/FrontOfficeDir.h"
#include "ui/main/ErrorMessage.h"
#include "ui/main/UserSettings.h"

namespace ostelvia::ui {

namespace {

QString platformFolderDialog(QWidget* parent, const QString& titolo, const QString& partenza)
{
    return QFileDialog::getExistingDirectory(parent, titolo, partenza, QFileDialog::ShowDirsOnly);
}

// Asks, enters and remembers; the remembered folder changes only when the
// new one could be entered. A folder without the guest database is refused
// before anything is remembered or written there, and asked for again.
FolderOutcome askAndEnter(QWidget* parent, QString partenza)
{
    QString scelta;
    for (;;) {
        scelta = folderChooser()(parent, kTitoloSceltaCartella, partenza);
        if (scelta.isEmpty())
            return {FolderOutcome::Kind::Cancelled, {}};
        if (exporter::holdsGuestDatabase(scelta))
            break;
        showError(QStringLiteral("La cartella \"%1\" non contiene %2: non è la cartella del programma di "
                                 "ricevimento. Scegliere la cartella che contiene le schede dei clienti.")
                      .arg(QDir::toNativeSeparators(scelta), exporter::kFileSchedeClienti));
        partenza = scelta;
    }
    const QString errore = exporter::enterFrontOfficeDir(scelta);
    if (!errore.isEmpty())
        return {FolderOutcome::Kind::Failed, errore};
    // The folder is entered all the same: it is asked for again next time.
    if (const QString problema = rememberFolder(QDir::currentPath()); !problema.isEmpty())
        showError(problema);
    return {FolderOutcome::Kind::Chosen, {}};
}

}  // namespace

FolderChooser& folderChooser()
{
    static FolderChooser scelta = platformFolderDialog;
    return scelta;
}

QString rememberedFolder()
{
    return userSetting(kChiaveCartella).toString();
}

QString rememberFolder(const QString& cartella)
{
    return storeUserSetting(kChiaveCartella, cartella);
}

FolderOutcome enterStartFolder(QWidget* parent)
{
    if (exporter::holdsGuestDatabase(QDir::currentPath()))
        return {FolderOutcome::Kind::Current, {}};
    const QString ricordata = rememberedFolder();
    if (exporter::holdsGuestDatabase(ricordata) && exporter::enterFrontOfficeDir(ricordata).isEmpty())
        return {FolderOutcome::Kind::Remembered, {}};
    const bool esiste = !ricordata.isEmpty() && QDir(ricordata).exists();
    return askAndEnter(parent, esiste ? ricordata : QDir::homePath());
}

FolderOutcome changeFolder(QWidget* parent)
{
    return askAndEnter(parent, QDir::currentPath());
}

}  // namespace ostelvia::ui
