// SPDX-License-Identifier: GPL-3.0-or-later
// Jet 4 texts turned into UTF-8 by the engine read exactly as libmdb's own
// conversion reads them, on every kind of stored text: plain and compressed,
// switching mode, with surrogates, zero bytes and an odd last byte.
#include <glib.h>
#include <mdbtools.h>

#include "db/StoredText.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace ostelvia::test {
namespace {

// What libmdb makes of the bytes, in a buffer as large as the reader gives it.
std::string libmdbText(MdbHandle* mdb, const std::vector<unsigned char>& stored)
{
    std::string out(stored.size() * 2 + 16, '\0');
    const int length =
        mdb_unicode2ascii(mdb, reinterpret_cast<const char*>(stored.data()), stored.size(), out.data(), out.size());
    out.resize(static_cast<size_t>(std::max(length, 0)));
    return out;
}

TEST(StoredText, Jet4TextsReadAsLibmdbReadsThem)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "libmdb converts through win-iconv on Windows, which joins surrogate pairs; the engine reads "
                    "them as on Linux";
#endif
    const QByteArray path = (fixtureDir() + QStringLiteral("/Comuni.mdb")).toLocal8Bit();
    MdbHandle* mdb = mdb_open(path.constData(), MDB_NOFLAGS);
    ASSERT_NE(mdb, nullptr);
    ASSERT_FALSE(IS_JET3(mdb));
    // Bytes that matter: the compression marker, zero (the mode switch),
    // ASCII, Latin-1, the halves of surrogates and of other BMP characters.
    const unsigned char interesting[] = {0x00, 0xFF, 0xFE, 'A',  'z',  ' ',  '\'', 0xE0, 0xC8,
                                         0x80, 0x20, 0xD8, 0xDC, 0xDF, 0x01, 0x7F, 0x30};
    std::mt19937 random(26);
    std::uniform_int_distribution<size_t> pick(0, sizeof interesting - 1);
    std::uniform_int_distribution<int> length(0, 24);
    int compressed = 0;
    for (int i = 0; i < 20000; ++i) {
        std::vector<unsigned char> stored;
        if (i % 2 == 0)
            stored = {0xFF, 0xFE};
        for (int n = length(random); n > 0; --n)
            stored.push_back(interesting[pick(random)]);
        compressed += stored.size() >= 2 && stored[0] == 0xFF && stored[1] == 0xFE;
        std::string ours(db::detail::jet4TextRoom(stored.size()), '\0');
        ours.resize(db::detail::decodeJet4Text(stored.data(), stored.size(), ours.data()));
        ASSERT_EQ(ours, libmdbText(mdb, stored)) << "case " << i;
    }
    EXPECT_GT(compressed, 10000);
    mdb_close(mdb);
}

}  // namespace
}  // namespace ostelvia::test
