// SPDX-License-Identifier: GPL-3.0-or-later
// A range of departure dates as the clerk typed it, for the commands that
// must not run on a range they cannot mean (the check, the tax report, the
// headless export): both ends real days written DD/MM/YYYY, the last one not
// before the first. "&Crea File" in the window takes the dates as typed.
#pragma once

#include <QString>

namespace ostelvia::checks {

enum class RangeEnd { None, From, To };

struct RangeProblem {
    RangeEnd end = RangeEnd::None;  // which date is wrong; None: the range is usable
    QString reason;                 // in Italian, without the field's name: "il 31/02/2024 non esiste"
    explicit operator bool() const { return end != RangeEnd::None; }
};

// Why `text` is not a real day written DD/MM/YYYY; empty when it is.
QString typedDateProblem(const QString& text);

// The first problem of the range: the first date, then the last, then their order
// (reported against the last date: "è precedente alla prima").
RangeProblem typedRangeProblem(const QString& from, const QString& to);

}  // namespace ostelvia::checks
