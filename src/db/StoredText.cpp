// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/StoredText.h"

namespace ostelvia::db::detail {

namespace {

void appendUnit(char16_t u, std::string& utf8)
{
    if (u < 0x80) {
        utf8 += static_cast<char>(u);
    } else if (u < 0x800) {
        utf8 += static_cast<char>(0xC0 | (u >> 6));
        utf8 += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u >= 0xD800 && u <= 0xDFFF) {
        utf8 += '?';
    } else {
        utf8 += static_cast<char>(0xE0 | (u >> 12));
        utf8 += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (u & 0x3F));
    }
}

char16_t unitAt(const unsigned char* p)
{
    return static_cast<char16_t>(p[0] | (p[1] << 8));
}

}  // namespace

void appendJet4Text(const unsigned char* stored, std::size_t size, std::string& utf8)
{
    if (size >= 2 && stored[0] == 0xFF && stored[1] == 0xFE) {
        bool compressed = true;
        std::size_t at = 2;
        while (at < size) {
            if (stored[at] == 0) {
                compressed = !compressed;
                ++at;
            } else if (compressed) {
                appendUnit(stored[at++], utf8);
            } else if (size - at >= 2) {
                appendUnit(unitAt(stored + at), utf8);
                at += 2;
            } else {
                break;
            }
        }
        return;
    }
    for (std::size_t at = 0; at + 1 < size; at += 2)
        appendUnit(unitAt(stored + at), utf8);
}

}  // namespace ostelvia::db::detail
