#include "ui/main/SendCheck.h"

#include <QDir>

#include "export/SendArchive.h"
#include "export/TextFiles.h"
#include "ui/dialogs/BusyCursor.h"

namespace ostelvia::ui {

QString CartellaArchivio()
{
    return QDir::current().filePath(exporter::kCartellaArchivio);
}

bool ConfermaInvio(const QStringList& righe, const QVector<int>& selezionate, const Domanda& chiedi)
{
    QString domanda;
    {
        CursoreTemporaneo occupato;
        const exporter::SendArchive archivio = exporter::SendArchive::read(CartellaArchivio());
        domanda = exporter::alreadySentQuestion(exporter::findAlreadySent(archivio, righe, selezionate),
                                                archivio.skipped());
    }
    return domanda.isEmpty() || chiedi(domanda);
}

bool ArchiviaInvio(const QString& percorsoEsportazione, const QDateTime& quando, const Domanda& chiedi)
{
    try {
        exporter::CopiaInArchivio(CartellaArchivio(), percorsoEsportazione, quando);
        return true;
    } catch (const exporter::FileError& errore) {
        return chiedi(errore.message() + exporter::kCrLf + exporter::kCrLf
                      + QStringLiteral("Inviare comunque, senza la copia nell'archivio?"));
    }
}

}  // namespace ostelvia::ui
