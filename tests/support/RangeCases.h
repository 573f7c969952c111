// SPDX-License-Identifier: GPL-3.0-or-later
// The ranges of a reference-answer folder's cases.tsv (tab-separated:
// dataset, case, from, to, room_from, room_to), as test parameters.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <ostream>
#include <vector>

#include "TestSupport.h"

namespace ostelvia::test {

struct RangeCase {
    QString name;
    QString from;
    QString to;
    QString roomFrom;
    QString roomTo;
};

inline std::vector<RangeCase> loadRangeCases(const QString& casesTsv)
{
    std::vector<RangeCase> cases;
    const QStringList lines = QString::fromUtf8(readBytes(casesTsv)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList cells = lines.at(i).split(QLatin1Char('\t'));
        if (cells.size() >= 6)
            cases.push_back({cells.at(1), cells.at(2), cells.at(3), cells.at(4), cells.at(5)});
    }
    return cases;
}

// Names the case in test output instead of dumping its bytes.
inline void PrintTo(const RangeCase& c, std::ostream* os)
{
    *os << c.name.toStdString();
}

// The case's name as a test name ("may-2024" -> "may_2024").
inline std::string rangeCaseName(const ::testing::TestParamInfo<RangeCase>& info)
{
    QString name = info.param.name;
    name.replace(QLatin1Char('-'), QLatin1Char('_'));
    return name.toStdString();
}

}  // namespace ostelvia::test
