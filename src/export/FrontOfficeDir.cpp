// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/FrontOfficeDir.h"

#include <QDir>
#include <QFileInfo>

namespace ostelvia::exporter {

QString enterFrontOfficeDir(const QString& folder)
{
    const QFileInfo info(folder);
    const QString name = QDir::toNativeSeparators(folder);
    if (folder.isEmpty() || !info.exists())
        return QStringLiteral("La cartella \"%1\" non esiste.").arg(name);
    if (!info.isDir())
        return QStringLiteral("\"%1\" non è una cartella.").arg(name);
    // Listing needs read permission, entering needs search permission.
    if (!info.isReadable() || !info.isExecutable() || !QDir::setCurrent(info.absoluteFilePath()))
        return QStringLiteral("La cartella \"%1\" non si può leggere.").arg(name);
    return {};
}

bool holdsGuestDatabase(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    // Name filters match without regard to letter case.
    const QDir dir(folder);
    return !dir.entryList({kFileSchedeClienti}, QDir::Files | QDir::Readable).isEmpty();
}

}  // namespace ostelvia::exporter
