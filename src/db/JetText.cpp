// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/JetText.h"

#include <QByteArray>
#include <QChar>

#include <sqlite3.h>

#include <string>

namespace ostelvia::db::detail {

namespace {

// Bytes that are no valid UTF-8 sort after every code point, each on its own.
constexpr char32_t kInvalidBase = 0x110000;

inline char32_t nextCodePoint(const unsigned char*& p, const unsigned char* end)
{
    const unsigned char c = *p;
    if (c < 0x80) {
        ++p;
        return c;
    }
    int len = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
        len = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4;
        cp = c & 0x07;
    } else {
        ++p;
        return kInvalidBase + c;
    }
    if (end - p < len) {
        ++p;
        return kInvalidBase + c;
    }
    for (int i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            ++p;
            return kInvalidBase + c;
        }
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    p += len;
    return cp;
}

inline char32_t foldAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? char32_t(c + 32) : char32_t(c);
}

inline char32_t fold(char32_t cp)
{
    if (cp < 0x80)
        return foldAscii(static_cast<unsigned char>(cp));
    if (cp >= kInvalidBase)
        return cp;
    return QChar::toCaseFolded(cp);
}

std::u32string foldedCodePoints(const unsigned char* p, int n)
{
    std::u32string out;
    out.reserve(static_cast<size_t>(n));
    const unsigned char* end = p + n;
    while (p < end)
        out.push_back(fold(nextCodePoint(p, end)));
    return out;
}

int jetCollation(void*, int na, const void* a, int nb, const void* b)
{
    return jetCompare(std::string_view(static_cast<const char*>(a), static_cast<size_t>(na)),
                      std::string_view(static_cast<const char*>(b), static_cast<size_t>(nb)));
}

// Jet's InStr([start,] text, sought): 1-based position ignoring letter case,
// 0 when absent, Null when a text is Null.
void instrFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    int start = 1;
    int first = 0;
    if (argc == 3) {
        if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
        const sqlite3_int64 s = sqlite3_value_int64(argv[0]);
        if (s < 1 || s > 0x7fffffff) {
            sqlite3_result_error(ctx, "Instr: posizione iniziale non valida", -1);
            return;
        }
        start = static_cast<int>(s);
        first = 1;
    }
    sqlite3_value* textArg = argv[first];
    sqlite3_value* soughtArg = argv[first + 1];
    if (sqlite3_value_type(textArg) == SQLITE_NULL || sqlite3_value_type(soughtArg) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* textBytes = sqlite3_value_text(textArg);
    const int textLen = sqlite3_value_bytes(textArg);
    const auto* soughtBytes = sqlite3_value_text(soughtArg);
    const int soughtLen = sqlite3_value_bytes(soughtArg);
    if (!textBytes || !soughtBytes) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    const std::u32string text = foldedCodePoints(textBytes, textLen);
    const std::u32string sought = foldedCodePoints(soughtBytes, soughtLen);
    if (text.empty() || static_cast<size_t>(start) > text.size()) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    if (sought.empty()) {
        sqlite3_result_int(ctx, start);
        return;
    }
    const size_t at = text.find(sought, static_cast<size_t>(start - 1));
    sqlite3_result_int(ctx, at == std::u32string::npos ? 0 : static_cast<int>(at) + 1);
}

}  // namespace

int jetCompare(std::string_view a, std::string_view b)
{
    const auto* pa = reinterpret_cast<const unsigned char*>(a.data());
    const auto* pb = reinterpret_cast<const unsigned char*>(b.data());
    const auto* ea = pa + a.size();
    const auto* eb = pb + b.size();
    while (pa < ea && pb < eb) {
        const unsigned char ca = *pa;
        const unsigned char cb = *pb;
        if ((ca | cb) < 0x80) {
            if (ca != cb) {
                const char32_t fa = foldAscii(ca);
                const char32_t fb = foldAscii(cb);
                if (fa != fb)
                    return fa < fb ? -1 : 1;
            }
            ++pa;
            ++pb;
            continue;
        }
        const char32_t fa = fold(nextCodePoint(pa, ea));
        const char32_t fb = fold(nextCodePoint(pb, eb));
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    if (pa < ea)
        return 1;
    if (pb < eb)
        return -1;
    return 0;
}

std::u32string jetKey(std::string_view utf8)
{
    return foldedCodePoints(reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
}

void jetKey(QStringView text, std::u32string& key)
{
    key.clear();
    key.reserve(static_cast<size_t>(text.size()));
    for (const QChar c : text) {
        // A character outside the BMP, or half of one, the rare way round.
        if (c.isSurrogate()) {
            const QByteArray utf8 = text.toUtf8();
            key = jetKey(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
            return;
        }
        key.push_back(fold(c.unicode()));
    }
}

bool registerJetFunctions(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_collation(db, "JET", SQLITE_UTF8, nullptr, jetCollation) == SQLITE_OK
        && sqlite3_create_function(db, "instr", 2, flags, nullptr, instrFunction, nullptr, nullptr) == SQLITE_OK
        && sqlite3_create_function(db, "instr", 3, flags, nullptr, instrFunction, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace ostelvia::db::detail
