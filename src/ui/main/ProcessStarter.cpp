// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/ProcessStarter.h"

#include "platform/Platform.h"

namespace ostelvia::ui {

bool DetachedProcessStarter::startDetached(const QString& commandLine)
{
    return platform::startDetached(commandLine);
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
