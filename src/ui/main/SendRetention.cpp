// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/SendRetention.h"

#include "export/SendArchive.h"
#include "ui/dialogs/InputBoxForm.h"
#include "ui/main/FrontOfficeFolder.h"
#include "ui/main/SendCheck.h"
#include "ui/main/UserSettings.h"

namespace ostelvia::ui {

namespace {

// At most a thousand years: a number beyond any use is a typing slip.
constexpr int kMesiMassimi = 12000;

}  // namespace

int retentionMonths()
{
    bool numero = false;
    const int mesi = userSetting(kChiaveConservazione).toInt(&numero);
    return numero && mesi >= 0 && mesi <= kMesiMassimi ? mesi : exporter::kMesiConservazionePredefiniti;
}

QString setRetentionMonths(int mesi)
{
    return storeUserSetting(kChiaveConservazione, mesi);
}

QString askRetentionMonths()
{
    bool annullato = false;
    const QString risposta = ChiediTesto(QStringLiteral("Per quanti mesi conservare la copia di ogni invio\r\n"
                                                        "nella cartella \"%1\"?\r\n\r\n"
                                                        "0 = per sempre; le copie più vecchie sono\r\n"
                                                        "cancellate al prossimo invio.")
                                             .arg(exporter::kArchiveFolder),
                                         kTitoloConservazione, QString::number(retentionMonths()), &annullato);
    if (annullato)
        return {};
    bool numero = false;
    const int mesi = risposta.trimmed().toInt(&numero);
    if (!numero || mesi < 0 || mesi > kMesiMassimi)
        return QStringLiteral("\"%1\" non è un numero di mesi: scrivere un numero intero da 0 a %2.")
            .arg(risposta)
            .arg(kMesiMassimi);
    return setRetentionMonths(mesi);
}

QString removeExpiredSends(const QDateTime& now, const QStringList& spared)
{
    const int mesi = retentionMonths();
    const int rimosse = exporter::removeExpiredCopies(archiveFolder(), mesi, now, spared);
    if (rimosse == 0)
        return {};
    if (rimosse == 1)
        return QStringLiteral("Cancellata dalla cartella \"%1\" una copia di un invio più vecchia di %2 mesi.")
            .arg(exporter::kArchiveFolder)
            .arg(mesi);
    return QStringLiteral("Cancellate dalla cartella \"%1\" %2 copie di invii più vecchie di %3 mesi.")
        .arg(exporter::kArchiveFolder)
        .arg(rimosse)
        .arg(mesi);
}

}  // namespace ostelvia::ui
