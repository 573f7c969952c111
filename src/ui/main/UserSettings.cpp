// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/UserSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include "export/PrivateFiles.h"
#include "export/TextFiles.h"
#include "platform/Platform.h"
#include "text/Error.h"
#include "ui/main/FrontOfficeFolder.h"

namespace ostelvia::ui {

namespace {

const QString kDraftName = QStringLiteral("Ostelvia.conf");

// Qt reads and writes the INI form on a copy in a scratch folder of this
// account's own; only the staged writer writes the settings file itself.
// A copy of its own per use also keeps Qt from answering from what it
// cached of an earlier state of the file.
class SettingsDraft {
public:
    SettingsDraft()
    {
        const QString path = userSettingsPath();
        if (!scratch_.isValid())
            return;
        draft_ = scratch_.filePath(kDraftName);
        if (platform::entryKind(path) != platform::EntryKind::Regular)
            return;
        try {
            exporter::writeWholeFile(draft_, exporter::readBytes(path));
        } catch (const Error&) {
            // Unreadable settings are no settings: the defaults apply.
        }
    }

    bool isValid() const { return !draft_.isEmpty(); }
    QString path() const { return draft_; }

private:
    QTemporaryDir scratch_;
    QString draft_;
};

QString settingsProblem(const QString& reason)
{
    return QStringLiteral("Impossibile salvare le impostazioni nel file \"%1\": %2.")
        .arg(QDir::toNativeSeparators(userSettingsPath()), reason);
}

}  // namespace

QString userSettingsPath()
{
    return platform::userSettingsFile(kOrganizzazione, kApplicazione);
}

QVariant userSetting(const QString& chiave)
{
    const SettingsDraft draft;
    if (!draft.isValid())
        return {};
    return QSettings(draft.path(), QSettings::IniFormat).value(chiave);
}

QString makeSettingsFolder()
{
    // The folders missing on the way, outermost first; one that exists keeps
    // its mode (the user's own configuration folder among them), but the
    // tool's own, which is made owner-only.
    const QString folder = QFileInfo(userSettingsPath()).path();
    QStringList missing;
    for (QString step = folder; platform::entryKind(step) == platform::EntryKind::Missing;) {
        missing.prepend(step);
        const QString parent = QFileInfo(step).path();
        if (parent == step)
            break;
        step = parent;
    }
    if (!missing.contains(folder))
        missing.append(folder);
    for (const QString& step : missing) {
        if (const QString reason = platform::makePrivateFolder(step); !reason.isEmpty())
            return QStringLiteral("Impossibile creare la cartella \"%1\": %2.")
                .arg(QDir::toNativeSeparators(step), reason);
    }
    return {};
}

QString storeUserSetting(const QString& chiave, const QVariant& valore)
{
    if (const QString problem = makeSettingsFolder(); !problem.isEmpty())
        return problem;
    const SettingsDraft draft;
    if (!draft.isValid())
        return settingsProblem(QStringLiteral("non si può creare una cartella temporanea"));
    {
        QSettings settings(draft.path(), QSettings::IniFormat);
        if (valore.isNull())
            settings.remove(chiave);
        else
            settings.setValue(chiave, valore);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return settingsProblem(QStringLiteral("errore di scrittura"));
    }
    try {
        // Qt writes no file for settings left with no key.
        const bool empty = platform::entryKind(draft.path()) == platform::EntryKind::Missing;
        const QByteArray bytes = empty ? QByteArray() : exporter::readBytes(draft.path());
        exporter::StagedFile file(userSettingsPath(), QDir::toNativeSeparators(userSettingsPath()),
                                  exporter::StagedFile::Mode::OwnerOnly);
        file.write(bytes);
        file.commit();
    } catch (const Error& error) {
        return error.message();
    }
    return {};
}

}  // namespace ostelvia::ui
