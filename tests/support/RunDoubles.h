// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-ins for the window the export run talks to: a fixed room range, and a
// log of what the runs of a test ended with.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "export/ExportRun.h"

namespace ostelvia::test {

class FixedRooms : public exporter::RoomSource {
public:
    QString first;
    QString last = QStringLiteral("ZZZZZZ");
    QString firstRoom() const override { return first; }
    QString lastRoom() const override { return last; }
};

// The message of every run that stopped or failed, in order, and how many
// runs found no settings file.
class RunLog {
public:
    exporter::RunSummary record(exporter::RunSummary summary)
    {
        if (!summary.message.isEmpty())
            messages.append(summary.message);
        if (summary.outcome == exporter::RunSummary::Outcome::SettingsMissing)
            ++settingsWarnings;
        return summary;
    }

    QStringList messages;
    int settingsWarnings = 0;
};

}  // namespace ostelvia::test
