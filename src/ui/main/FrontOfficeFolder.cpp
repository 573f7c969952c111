// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/FrontOfficeFolder.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

#include "export/FrontOfficeDir.h"
#include "ui/main/ErrorMessage.h"

namespace ostelvia::ui {

namespace {

QString DialogoCartella(QWidget* parent, const QString& titolo, const QString& partenza)
{
    return QFileDialog::getExistingDirectory(parent, titolo, partenza, QFileDialog::ShowDirsOnly);
}

// Asks, enters and remembers; the remembered folder changes only when the
// new one could be entered. A folder without the guest database is refused
// before anything is remembered or written there, and asked for again.
EsitoCartella ChiediEdEntra(QWidget* parent, QString partenza)
{
    QString scelta;
    for (;;) {
        scelta = sceltaCartella()(parent, kTitoloSceltaCartella, partenza);
        if (scelta.isEmpty())
            return {EsitoCartella::Come::Annullata, {}};
        if (exporter::holdsGuestDatabase(scelta))
            break;
        showError(QStringLiteral("La cartella \"%1\" non contiene %2: non è la cartella del programma di "
                                 "ricevimento. Scegliere la cartella che contiene le schede dei clienti.")
                      .arg(QDir::toNativeSeparators(scelta), exporter::kFileSchedeClienti));
        partenza = scelta;
    }
    const QString errore = exporter::enterFrontOfficeDir(scelta);
    if (!errore.isEmpty())
        return {EsitoCartella::Come::Fallita, errore};
    RicordaCartella(QDir::currentPath());
    return {EsitoCartella::Come::Scelta, {}};
}

}  // namespace

SceltaCartella& sceltaCartella()
{
    static SceltaCartella scelta = DialogoCartella;
    return scelta;
}

QString CartellaRicordata()
{
    return QSettings(kOrganizzazione, kApplicazione).value(kChiaveCartella).toString();
}

void storeUserSetting(const QString& chiave, const QVariant& valore)
{
    QSettings impostazioni(kOrganizzazione, kApplicazione);
    impostazioni.setValue(chiave, valore);
    impostazioni.sync();
    // The folder the tool works in says whose guests it handles.
    const QFileInfo file(impostazioni.fileName());
    if (file.isFile() && !file.isSymLink())
        QFile::setPermissions(file.filePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.dir().dirName() == kOrganizzazione)
        QFile::setPermissions(file.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void RicordaCartella(const QString& cartella)
{
    storeUserSetting(kChiaveCartella, cartella);
}

EsitoCartella EntraCartellaIniziale(QWidget* parent)
{
    if (exporter::holdsGuestDatabase(QDir::currentPath()))
        return {EsitoCartella::Come::Attuale, {}};
    const QString ricordata = CartellaRicordata();
    if (exporter::holdsGuestDatabase(ricordata) && exporter::enterFrontOfficeDir(ricordata).isEmpty())
        return {EsitoCartella::Come::Ricordata, {}};
    const bool esiste = !ricordata.isEmpty() && QDir(ricordata).exists();
    return ChiediEdEntra(parent, esiste ? ricordata : QDir::homePath());
}

EsitoCartella CambiaCartella(QWidget* parent)
{
    return ChiediEdEntra(parent, QDir::currentPath());
}

}  // namespace ostelvia::ui
