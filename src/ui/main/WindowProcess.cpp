// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/WindowProcess.h"

#include "platform/Platform.h"
#include "ui/main/UserSettings.h"

namespace ostelvia::ui {

void prepareWindowProcess()
{
    platform::treatFileSizeLimitAsError();
    // A folder that cannot be made is told when a setting is saved.
    makeSettingsFolder();
}

}  // namespace ostelvia::ui
