// SPDX-License-Identifier: GPL-3.0-or-later
// A Jet 4 text value as stored, turned into UTF-8 here rather than through
// libmdb's iconv: a run reads a dozen texts for each of 100,000 stored cards,
// and iconv's set-up and per-character dispatch cost far more than the text.
// Engine internals.
#pragma once

#include <cstddef>
#include <string>

namespace ostelvia::db::detail {

// Appends to `utf8` what libmdb 1.0's mdb_unicode2ascii gives for the stored
// bytes of a Jet 4 text: UTF-16LE, or after the marker FF FE "compressed"
// (one byte per character, a zero byte switching to and from two-byte
// characters). A surrogate reads as '?', as iconv's UCS-2 refuses it; an odd
// last byte is dropped.
void appendJet4Text(const unsigned char* stored, std::size_t size, std::string& utf8);

}  // namespace ostelvia::db::detail
