// SPDX-License-Identifier: GPL-3.0-or-later
// The user's settings file (the remembered folder, the months the archive
// keeps, the windows' sizes), in the INI form Qt reads: "Ostelvia.conf" in
// "Ostelvia" of the user's configuration folder on Linux, an INI file under
// the user's application data on Windows. It says whose guests the tool
// handles, so it is written as every other file of the tool: aside,
// owner-only, renamed into place, never through a link; a missing folder on
// the way to it is created for the user only.
#pragma once

#include <QString>
#include <QVariant>

namespace ostelvia::ui {

QString userSettingsPath();

// The stored value, or a null QVariant. A link or anything but a regular
// file in the settings file's place is not read.
QVariant userSetting(const QString& chiave);

// Stores one value (a null QVariant removes the key). The reason it could
// not, in Italian, or empty.
QString storeUserSetting(const QString& chiave, const QVariant& valore);

// Creates the folders on the way to the settings file that are missing, for
// the user only, before anything else (the toolkit's own dialogs store their
// state there too) can create them with the umask's mode.
QString makeSettingsFolder();

}  // namespace ostelvia::ui
