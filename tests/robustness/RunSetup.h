// SPDX-License-Identifier: GPL-3.0-or-later
// The set-up every engine robustness test repeats: a scratch front office with
// settings for an export to "ZaverUdevu.txt", all rooms, a log of the runs,
// and the checks that a failure names its file.
#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "db/Database.h"
#include "export/ExportRun.h"
#include "RobustSupport.h"
#include "TestSupport.h"

namespace ostelvia::test {

inline QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

inline QByteArray fixtureBytes(const QString& name)
{
    return readBytes(fixtureDir() + QLatin1Char('/') + name);
}

// The message of the database error `body` throws; nothing when it runs through.
template <typename Body> std::optional<QString> dbErrorOf(Body body)
{
    try {
        body();
    } catch (const db::DbError& error) {
        return error.message();
    }
    return std::nullopt;
}

struct ExportSetup {
    ExportSetup()
    {
        scratch.writeSettings(exportPath, QStringLiteral("true"));
        exporter::MessaggioErrore.clear();
    }

    exporter::RunSummary run(const QString& from = QStringLiteral("01/01/2000"),
                             const QString& to = QStringLiteral("30/04/2024"))
    {
        return runs.record(exporter::CreaFileTassa(from, to, rooms));
    }
    std::string messages() const { return runs.messages.join(QLatin1Char('|')).toStdString(); }

    // One message naming `named`, "Fine" as the run's status.
    void expectFailureNaming(const exporter::RunSummary& summary, const QString& named)
    {
        EXPECT_EQ(summary.outcome, exporter::RunSummary::Outcome::Failed);
        ASSERT_EQ(runs.messages.size(), 1);
        EXPECT_TRUE(runs.messages.at(0).contains(named)) << messages();
        EXPECT_EQ(exporter::MessaggioErrore, exporter::kFine);
    }

    ScratchDir scratch;
    QString exportPath = scratch.filePath(QStringLiteral("ZaverUdevu.txt"));
    FixedRooms rooms;
    RunLog runs;
};

}  // namespace ostelvia::test
