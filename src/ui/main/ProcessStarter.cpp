// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/ProcessStarter.h"

#include <QProcess>

namespace ostelvia::ui {

bool AvvioProcessi::startDetached(const QString& commandLine)
{
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty())
        return false;
    const QString program = words.takeFirst();
    return QProcess::startDetached(program, words);
}

QDate DataDiOggi()
{
    return QDate::currentDate();
}

QString DataDiIeri(const Orologio& oggi)
{
    return oggi().addDays(-1).toString(QStringLiteral("dd/MM/yyyy"));
}

}  // namespace ostelvia::ui
