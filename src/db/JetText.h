// SPDX-License-Identifier: GPL-3.0-or-later
// Jet's text rules on top of SQLite: comparison ignoring letter case (the
// "JET" collation) and Jet's Instr. Engine internals.
#pragma once

#include <QStringView>

#include <string>
#include <string_view>

struct sqlite3;

namespace ostelvia::db::detail {

// Three-way comparison of two UTF-8 texts ignoring letter case (simple
// Unicode case folding) and nothing else: blanks and accents count.
int jetCompare(std::string_view a, std::string_view b);

// The text's code points, case folded as jetCompare folds them: two texts
// compare equal exactly when their keys are equal.
std::u32string jetKey(std::string_view utf8);
// The same key from a text as Qt holds it, written into `key`.
void jetKey(QStringView text, std::u32string& key);

// Registers the "JET" collation and the Instr function on a connection.
// Returns false when SQLite refuses them.
bool registerJetFunctions(sqlite3* db);

}  // namespace ostelvia::db::detail
