// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the headless command in a folder; only for targets that define
// OSTELVIA_EXPORT_COMMAND.
#pragma once

#include <QProcess>
#include <QStringList>

namespace ostelvia::test {

struct CommandResult {
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QByteArray out;
    QByteArray err;
};

inline CommandResult runCommand(const QString& directory, const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(directory);
    process.start(QStringLiteral(OSTELVIA_EXPORT_COMMAND), arguments);
    if (!process.waitForFinished(60000))
        return {-1, QProcess::CrashExit, {}, "timed out"};  // never passes for a finished run
    return {process.exitCode(), process.exitStatus(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// What the command wrote for the terminal, which gets UTF-8 whatever the
// files the command writes are in.
inline QString terminalOutput(const CommandResult& result)
{
    return QString::fromUtf8(result.out);
}

inline const QStringList kWideRange = {QStringLiteral("--from"), QStringLiteral("01/01/2000"), QStringLiteral("--to"),
                                       QStringLiteral("30/04/2024")};

}  // namespace ostelvia::test
