// SPDX-License-Identifier: GPL-3.0-or-later
// The translation of the SQL texts and criteria the tool sends into SQLite
// expressions (texts compared with the JET collation of JetText.h). Engine
// internals.
#pragma once

#include <QString>

#include <string>
#include <vector>

namespace ostelvia::db::detail {

// Thrown by the translators; reason is short, in Italian.
struct SqlRejected {
    QString reason;
};

// A translated WHERE or ORDER BY body: SQLite text, with every text literal
// as a parameter, plus the columns it compares directly (candidates for an
// index) and every name it might read as a column.
struct Expression {
    std::string sql;
    std::vector<std::string> parameters;   // UTF-8 texts for the ?s, in order
    std::vector<QString> names;            // identifiers not called as functions
    std::vector<QString> comparedColumns;  // compared as themselves: Col = ...
    std::vector<QString> trimmedColumns;   // compared through Trim: Trim(Col) = ...
    bool empty() const { return sql.empty(); }
};

// Translates a criteria text (the body of a WHERE clause). Text literals
// become parameters with the JET collation, so that comparisons through
// functions still ignore letter case; [name] becomes a quoted identifier and
// & becomes ||.
Expression translateCriteria(const QString& criteria);

// "Select * From <table> [Where ...] [Order by ...][;]" taken apart.
struct SelectText {
    QString table;
    Expression where;    // empty when there is no Where
    Expression orderBy;  // empty when there is no Order by
};

// True when the text is an SQL SELECT rather than a bare table name.
bool looksLikeSelect(const QString& text);

SelectText parseSelect(const QString& sql);

// A bare table name ("CodiciVari", "[Codici Vari]"); anything else is rejected.
QString parseTableName(const QString& text);

// Double-quotes an identifier for SQLite.
std::string quoteIdentifier(const QString& name);

}  // namespace ostelvia::db::detail
