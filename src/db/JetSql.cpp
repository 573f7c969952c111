// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/JetSql.h"

#include <algorithm>
#include <string>

namespace ostelvia::db::detail {

namespace {

enum class Tok { Ident, Number, String, Op, LParen, RParen, Comma, Dot, Semicolon };

struct Token {
    Tok kind;
    std::string sql;        // as written to SQLite
    QString name;           // identifiers: the bare name
    std::string text = {};  // text literals: the content, bound as a parameter
};

bool isIdentStart(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}

bool isIdentChar(unsigned char c)
{
    return isIdentStart(c) || (c >= '0' && c <= '9');
}

bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool equalsWord(const Token& t, const char* word)
{
    return t.kind == Tok::Ident && t.name.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

[[noreturn]] void reject(const char* reason)
{
    throw SqlRejected{QString::fromUtf8(reason)};
}

std::vector<Token> tokenize(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.constData());
    const size_t n = static_cast<size_t>(utf8.size());
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c == '\'' || c == '"') {
            // Jet takes both quote characters as text delimiters; a doubled
            // delimiter inside stands for itself.
            const unsigned char quote = c;
            std::string content;
            ++i;
            bool closed = false;
            while (i < n) {
                if (s[i] == quote) {
                    if (i + 1 < n && s[i + 1] == quote) {
                        content.push_back(static_cast<char>(quote));
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                content.push_back(static_cast<char>(s[i]));
                ++i;
            }
            if (!closed)
                reject("testo tra apici non chiuso");
            // Bound, not spliced: texts that differ only in their literals
            // share one prepared statement.
            tokens.push_back({Tok::String, "? COLLATE JET", {}, std::move(content)});
            continue;
        }
        if (c == '[') {
            const size_t close = utf8.indexOf(']', static_cast<qsizetype>(i + 1));
            if (close == static_cast<size_t>(-1))
                reject("nome tra parentesi quadre non chiuso");
            const QByteArray raw = utf8.mid(static_cast<qsizetype>(i + 1), static_cast<qsizetype>(close - i - 1));
            if (raw.isEmpty())
                reject("nome vuoto tra parentesi quadre");
            const QString name = QString::fromUtf8(raw);
            tokens.push_back({Tok::Ident, quoteIdentifier(name), name});
            i = close + 1;
            continue;
        }
        if (isIdentStart(c)) {
            size_t j = i;
            while (j < n && isIdentChar(s[j]))
                ++j;
            const QByteArray raw = utf8.mid(static_cast<qsizetype>(i), static_cast<qsizetype>(j - i));
            Token t{Tok::Ident, raw.toStdString(), QString::fromUtf8(raw)};
            if (equalsWord(t, "true"))
                t = {Tok::Number, "-1", {}};
            else if (equalsWord(t, "false"))
                t = {Tok::Number, "0", {}};
            else if (equalsWord(t, "mod"))
                t = {Tok::Op, "%", {}};
            tokens.push_back(std::move(t));
            i = j;
            continue;
        }
        if (isDigit(c) || (c == '.' && i + 1 < n && isDigit(s[i + 1]))) {
            size_t j = i;
            while (j < n && isDigit(s[j]))
                ++j;
            if (j < n && s[j] == '.') {
                ++j;
                while (j < n && isDigit(s[j]))
                    ++j;
            }
            if (j < n && (s[j] == 'e' || s[j] == 'E')) {
                size_t k = j + 1;
                if (k < n && (s[k] == '+' || s[k] == '-'))
                    ++k;
                if (k < n && isDigit(s[k])) {
                    j = k;
                    while (j < n && isDigit(s[j]))
                        ++j;
                }
            }
            if (j < n && isIdentStart(s[j]))
                reject("numero non valido");
            tokens.push_back(
                {Tok::Number, utf8.mid(static_cast<qsizetype>(i), static_cast<qsizetype>(j - i)).toStdString(), {}});
            i = j;
            continue;
        }
        switch (c) {
        case '(':
            tokens.push_back({Tok::LParen, "(", {}});
            ++i;
            continue;
        case ')':
            tokens.push_back({Tok::RParen, ")", {}});
            ++i;
            continue;
        case ',':
            tokens.push_back({Tok::Comma, ",", {}});
            ++i;
            continue;
        case '.':
            tokens.push_back({Tok::Dot, ".", {}});
            ++i;
            continue;
        case ';':
            tokens.push_back({Tok::Semicolon, ";", {}});
            ++i;
            continue;
        case '=':
        case '+':
        case '-':
        case '*':
        case '/':
            tokens.push_back({Tok::Op, std::string(1, static_cast<char>(c)), {}});
            ++i;
            continue;
        case '&':
            tokens.push_back({Tok::Op, "||", {}});
            ++i;
            continue;
        case '<':
            if (i + 1 < n && (s[i + 1] == '>' || s[i + 1] == '=')) {
                tokens.push_back({Tok::Op, std::string{'<', static_cast<char>(s[i + 1])}, {}});
                i += 2;
            } else {
                tokens.push_back({Tok::Op, "<", {}});
                ++i;
            }
            continue;
        case '>':
            if (i + 1 < n && s[i + 1] == '=') {
                tokens.push_back({Tok::Op, ">=", {}});
                i += 2;
            } else {
                tokens.push_back({Tok::Op, ">", {}});
                ++i;
            }
            continue;
        default:
            break;
        }
        reject("carattere non ammesso");
    }
    return tokens;
}

bool isComparison(const Token& t)
{
    if (t.kind == Tok::Op)
        return t.sql == "=" || t.sql == "<>" || t.sql == "<" || t.sql == ">" || t.sql == "<=" || t.sql == ">=";
    return equalsWord(t, "between") || equalsWord(t, "in");
}

// Emits an expression body, checking that it stays an expression: balanced
// parentheses, no statement separator, no sub-query.
Expression emitExpression(const std::vector<Token>& tokens, size_t begin, size_t end)
{
    Expression out;
    if (begin >= end)
        reject("espressione vuota");
    int depth = 0;
    for (size_t i = begin; i < end; ++i) {
        const Token& t = tokens[i];
        if (t.kind == Tok::Semicolon)
            reject("punto e virgola fuori posto");
        if (equalsWord(t, "select"))
            reject("sottoquery non ammessa");
        if (t.kind == Tok::LParen)
            ++depth;
        if (t.kind == Tok::RParen && --depth < 0)
            reject("parentesi non bilanciate");
        if (!out.sql.empty())
            out.sql.push_back(' ');
        out.sql += t.sql;
        if (t.kind == Tok::String)
            out.parameters.push_back(t.text);

        if (t.kind != Tok::Ident)
            continue;
        const bool call = i + 1 < end && tokens[i + 1].kind == Tok::LParen;
        if (!call)
            out.names.push_back(t.name);
        const bool qualified =
            (i + 1 < end && tokens[i + 1].kind == Tok::Dot) || (i > begin && tokens[i - 1].kind == Tok::Dot);
        if (call || qualified)
            continue;
        const bool before = i + 1 < end && isComparison(tokens[i + 1]);
        const bool after = i > begin && isComparison(tokens[i - 1]);
        const bool inTrim = i >= begin + 2 && i + 1 < end && tokens[i - 1].kind == Tok::LParen
            && equalsWord(tokens[i - 2], "trim") && tokens[i + 1].kind == Tok::RParen;
        if (before || after)
            out.comparedColumns.push_back(t.name);
        else if (inTrim) {
            const bool trimBefore = i + 2 < end && isComparison(tokens[i + 2]);
            const bool trimAfter = i >= begin + 3 && isComparison(tokens[i - 3]);
            if (trimBefore || trimAfter)
                out.trimmedColumns.push_back(t.name);
        }
    }
    if (depth != 0)
        reject("parentesi non bilanciate");
    return out;
}

}  // namespace

std::string quoteIdentifier(const QString& name)
{
    std::string out = "\"";
    for (char c : name.toStdString()) {
        out.push_back(c);
        if (c == '"')
            out.push_back('"');
    }
    out.push_back('"');
    return out;
}

Expression translateCriteria(const QString& criteria)
{
    const std::vector<Token> tokens = tokenize(criteria);
    return emitExpression(tokens, 0, tokens.size());
}

bool looksLikeSelect(const QString& text)
{
    const QString t = text.trimmed();
    if (!t.startsWith(QLatin1String("select"), Qt::CaseInsensitive))
        return false;
    return t.size() == 6 || t.at(6).isSpace() || t.at(6) == QLatin1Char('*');
}

QString parseTableName(const QString& text)
{
    const std::vector<Token> tokens = tokenize(text);
    if (tokens.size() != 1 || tokens[0].kind != Tok::Ident)
        reject("non è né un nome di tabella né \"Select * From tabella [Where ...] [Order by ...]\"");
    return tokens[0].name;
}

SelectText parseSelect(const QString& sql)
{
    std::vector<Token> tokens = tokenize(sql);
    if (!tokens.empty() && tokens.back().kind == Tok::Semicolon)
        tokens.pop_back();
    if (tokens.size() < 4 || !equalsWord(tokens[0], "select") || tokens[1].kind != Tok::Op || tokens[1].sql != "*"
        || !equalsWord(tokens[2], "from") || tokens[3].kind != Tok::Ident)
        reject("è ammesso solo \"Select * From tabella [Where ...] [Order by ...]\"");

    SelectText out;
    out.table = tokens[3].name;
    size_t i = 4;
    size_t whereBegin = 0;
    size_t whereEnd = 0;
    if (i < tokens.size() && equalsWord(tokens[i], "where")) {
        whereBegin = ++i;
        int depth = 0;
        while (i < tokens.size()) {
            if (tokens[i].kind == Tok::LParen)
                ++depth;
            else if (tokens[i].kind == Tok::RParen)
                --depth;
            else if (depth == 0 && equalsWord(tokens[i], "order") && i + 1 < tokens.size()
                     && equalsWord(tokens[i + 1], "by"))
                break;
            ++i;
        }
        whereEnd = i;
        out.where = emitExpression(tokens, whereBegin, whereEnd);
    }
    if (i < tokens.size()) {
        if (!(equalsWord(tokens[i], "order") && i + 1 < tokens.size() && equalsWord(tokens[i + 1], "by")))
            reject("dopo il nome della tabella sono ammessi solo Where e Order by");
        out.orderBy = emitExpression(tokens, i + 2, tokens.size());
    }
    return out;
}

}  // namespace ostelvia::db::detail
