// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/ProcessStarter.h"

#include <QProcess>

namespace ostelvia::ui {

bool DetachedProcessStarter::startDetached(const QString& commandLine)
{
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty())
        return false;
    const QString program = words.takeFirst();
    return QProcess::startDetached(program, words);
}

QDate today()
{
    return QDate::currentDate();
}

QString yesterdayText(const Clock& oggi)
{
    return oggi().addDays(-1).toString(QStringLiteral("dd/MM/yyyy"));
}

}  // namespace ostelvia::ui
