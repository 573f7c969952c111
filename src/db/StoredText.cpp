// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/StoredText.h"

namespace ostelvia::db::detail {

namespace {

// Writes one UTF-16 unit as UTF-8 at `out`; returns the byte after it.
char* putUnit(char16_t u, char* out)
{
    if (u < 0x80) {
        *out++ = static_cast<char>(u);
    } else if (u < 0x800) {
        *out++ = static_cast<char>(0xC0 | (u >> 6));
        *out++ = static_cast<char>(0x80 | (u & 0x3F));
    } else if (u >= 0xD800 && u <= 0xDFFF) {
        *out++ = '?';
    } else {
        *out++ = static_cast<char>(0xE0 | (u >> 12));
        *out++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (u & 0x3F));
    }
    return out;
}

char16_t unitAt(const unsigned char* p)
{
    return static_cast<char16_t>(p[0] | (p[1] << 8));
}

}  // namespace

std::size_t decodeJet4Text(const unsigned char* stored, std::size_t size, char* utf8)
{
    char* out = utf8;
    if (size >= 2 && stored[0] == 0xFF && stored[1] == 0xFE) {
        bool compressed = true;
        std::size_t at = 2;
        while (at < size) {
            if (stored[at] == 0) {
                compressed = !compressed;
                ++at;
            } else if (compressed) {
                out = putUnit(stored[at++], out);
            } else if (size - at >= 2) {
                out = putUnit(unitAt(stored + at), out);
                at += 2;
            } else {
                break;
            }
        }
    } else {
        for (std::size_t at = 0; at + 1 < size; at += 2)
            out = putUnit(unitAt(stored + at), out);
    }
    return static_cast<std::size_t>(out - utf8);
}

}  // namespace ostelvia::db::detail
