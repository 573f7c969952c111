// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/SendCheck.h"

#include <QDir>
#include <QLocale>

#include <map>

#include "export/SendArchive.h"
#include "export/TextFiles.h"
#include "ui/dialogs/OverrideCursor.h"

namespace ostelvia::ui {

QString archiveFolder()
{
    return QDir::current().filePath(exporter::kArchiveFolder);
}

namespace {

// Beyond this many stays sent before, the question names only the first
// ones: a summary per earlier send comes ahead of them.
constexpr qsizetype kNamedStays = 20;

QString perEarlierSend(const QVector<exporter::AlreadySent>& found)
{
    struct Count {
        int stays = 0;
        int identical = 0;
    };
    std::map<QDateTime, Count> sends;
    for (const exporter::AlreadySent& stay : found) {
        Count& count = sends[stay.earlierSend];
        ++count.stays;
        count.identical += stay.identical ? 1 : 0;
    }
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QString summary =
        QStringLiteral("Soggiorni già inviati: %1, per invio precedente:").arg(italian.toString(found.size()));
    for (auto send = sends.rbegin(); send != sends.rend(); ++send) {
        const Count& count = send->second;
        summary += exporter::kCrLf
            + QStringLiteral("- invio del %1: %2 soggiorni, %3 identici, %4 modificati")
                  .arg(send->first.toString(QStringLiteral("dd/MM/yyyy HH:mm")), italian.toString(count.stays),
                       italian.toString(count.identical), italian.toString(count.stays - count.identical));
    }
    return summary + exporter::kCrLf + exporter::kCrLf;
}

}  // namespace

bool confirmSend(const exporter::ExportLines& lines, const QVector<int>& selected, const YesNoQuestion& ask,
                 QStringList* notSends)
{
    QString question;
    {
        OverrideCursor busy;
        const exporter::SendArchive archive = exporter::SendArchive::read(archiveFolder());
        const QVector<exporter::AlreadySent> found = exporter::findAlreadySent(archive, lines, selected);
        question = exporter::alreadySentQuestion(found, archive.skipped());
        if (notSends)
            *notSends = archive.notSends();
        if (found.size() > kNamedStays)
            question.prepend(perEarlierSend(found));
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
