// SPDX-License-Identifier: GPL-3.0-or-later
// The presence record's fields, for the record tests: start (1-based) and
// width of fields 1 to 38.
#pragma once

#include <QString>

#include <array>
#include <utility>

namespace ostelvia::test {

inline constexpr std::array<std::pair<int, int>, 39> kRecordFields = {{
    {0, 0},    {1, 7},   {8, 8},    {16, 6},  {22, 8},   {30, 8},    {38, 6},   {44, 1},   {45, 10}, {55, 1},
    {56, 1},   {57, 2},  {59, 2},   {61, 30}, {91, 30},  {121, 16},  {137, 8},  {145, 35}, {180, 2}, {182, 35},
    {217, 60}, {277, 5}, {282, 35}, {317, 2}, {319, 35}, {354, 320}, {674, 20}, {694, 10}, {704, 8}, {712, 3},
    {715, 2},  {717, 9}, {726, 9},  {735, 9}, {744, 9},  {753, 9},   {762, 5},  {767, 9},  {776, 1},
}};

// Field n (1 to 38) of a record.
inline QString recordField(const QString& riga, int n)
{
    return riga.mid(kRecordFields[n].first - 1, kRecordFields[n].second);
}

}  // namespace ostelvia::test
