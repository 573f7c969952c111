// SPDX-License-Identifier: GPL-3.0-or-later
// How the main window starts programs and reads the date, both replaceable so
// that the window can be driven without launching anything or waiting for a
// particular day.
#pragma once

#include <QDate>
#include <QString>

#include <functional>

namespace ostelvia::ui {

class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // Starts the command line as a program of its own and returns at once;
    // false when nothing could be started.
    virtual bool startDetached(const QString& commandLine) = 0;
};

// Starts the line as the system's command runner would (quotes group words),
// without waiting for it.
class DetachedProcessStarter : public ProcessStarter {
public:
    bool startDetached(const QString& commandLine) override;
};

using Clock = std::function<QDate()>;

QDate today();

// The date before the clock's today as dd/mm/yyyy.
QString yesterdayText(const Clock& oggi);

}  // namespace ostelvia::ui
