// Jet text semantics on top of SQLite: the "JET" collation, Jet's Instr,
// and the translation of the SQL texts and criteria the tool sends into
// SQLite expressions. Engine internals.
#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace ostelvia::db::detail {

// Three-way comparison of two UTF-8 texts ignoring letter case (simple
// Unicode case folding) and nothing else: blanks and accents count.
int jetCompare(std::string_view a, std::string_view b);

// Registers the "JET" collation and the Instr function on a connection.
// Returns false when SQLite refuses them.
bool registerJetFunctions(sqlite3* db);

// Thrown by the translators; what() is a short Italian reason.
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
// become parameters with the JET collation so that comparisons through functions still ignore
// letter case; [name] becomes a quoted identifier; & becomes ||.
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
