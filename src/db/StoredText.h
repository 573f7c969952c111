// SPDX-License-Identifier: GPL-3.0-or-later
// A Jet 4 text value as stored, turned into UTF-8 here rather than through
// libmdb's iconv: a run reads a dozen texts for each of 100,000 stored cards,
// and iconv's set-up and per-character dispatch cost far more than the text.
// Engine internals.
#pragma once

#include <cstddef>

namespace ostelvia::db::detail {

// Room the UTF-8 of `size` stored bytes may take: a compressed byte gives at
// most two bytes, a two-byte character at most three.
constexpr std::size_t jet4TextRoom(std::size_t size)
{
    return 2 * size;
}

// Writes to `utf8` (jet4TextRoom(size) bytes of room) what libmdb 1.0's
// mdb_unicode2ascii gives for the stored bytes of a Jet 4 text, and returns
// its length: UTF-16LE, or after the marker FF FE "compressed" (one byte per
// character, a zero byte switching to and from two-byte characters). A
// surrogate reads as '?', as iconv's UCS-2 refuses it; an odd last byte is
// dropped.
std::size_t decodeJet4Text(const unsigned char* stored, std::size_t size, char* utf8);

}  // namespace ostelvia::db::detail
