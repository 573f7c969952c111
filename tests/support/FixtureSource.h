// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the TSV sources the fixture databases were built from, so tests can
// work out expected values from the data rather than from the program.
#pragma once

#include <QString>
#include <QStringList>

#include "db/Database.h"

#include <map>
#include <vector>

namespace ostelvia::test {

using SourceRow = std::map<QString, QString>;  // column -> cell ("\N" stays "\N" for Null)

// Rows of tests/data/<dataset>/src/<database>/<table>.tsv, in table order.
std::vector<SourceRow> readSource(const QString& database, const QString& table,
                                  const QString& dataset = QStringLiteral("basic"));

// The guest card whose Note starts with "<label>:" in the given guest database source
// ("Scheda_Cliente" or "SchedaStoricoClienti").
SourceRow cardByLabel(const QString& database, const QString& label);

// An in-memory guest table holding `cards`, with the columns of the fixture's
// Scheda_Cliente source ("\N" cells are Null).
db::TableData guestTable(const std::vector<SourceRow>& cards);

}  // namespace ostelvia::test
