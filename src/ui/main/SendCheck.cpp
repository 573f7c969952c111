// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/SendCheck.h"

#include <QDir>

#include "export/SendArchive.h"
#include "export/TextFiles.h"
#include "ui/dialogs/BusyCursor.h"

namespace ostelvia::ui {

QString archiveFolder()
{
    return QDir::current().filePath(exporter::kArchiveFolder);
}

bool confirmSend(const exporter::ExportLines& lines, const QVector<int>& selected, const YesNoQuestion& ask)
{
    QString question;
    {
        OverrideCursor busy;
        const exporter::SendArchive archive = exporter::SendArchive::read(archiveFolder());
        question =
            exporter::alreadySentQuestion(exporter::findAlreadySent(archive, lines, selected), archive.skipped());
    }
    return question.isEmpty() || ask(question);
}

bool archiveSend(const QString& exportPath, const QDateTime& when, const YesNoQuestion& ask)
{
    try {
        exporter::copyToArchive(archiveFolder(), exportPath, when);
        return true;
    } catch (const exporter::FileError& error) {
        return ask(error.message() + exporter::kCrLf + exporter::kCrLf
                   + QStringLiteral("Inviare comunque, senza la copia nell'archivio?"));
    }
}

}  // namespace ostelvia::ui
