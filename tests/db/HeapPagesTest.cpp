// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "db/HeapPages.h"

namespace ostelvia::db {
namespace {

// Bytes of the heap's mappings that ask for huge pages ("hg" among their
// flags in /proc/self/smaps).
qint64 hugeHeapBytes()
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression mapping(QStringLiteral("^([0-9a-f]+)-([0-9a-f]+) .*\\[heap\\]$"));
    qint64 bytes = 0, size = 0;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        const QString text = QString::fromLatin1(line);
        if (const auto m = mapping.match(text); m.hasMatch())
            size = m.captured(2).toLongLong(nullptr, 16) - m.captured(1).toLongLong(nullptr, 16);
        else if (text.contains(QRegularExpression(QStringLiteral("^[0-9a-f]+-[0-9a-f]+ "))))
            size = 0;
        else if (text.startsWith(QLatin1String("VmFlags:"))
                 && text.split(QLatin1Char(' ')).contains(QLatin1String("hg")))
            bytes += size;
    }
    return bytes;
}

TEST(HeapPages, TheHeapGrowsAtOnceAndAsksForHugePages)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator has no heap of its own";
#endif
    if (!QFile::exists(QStringLiteral("/sys/kernel/mm/transparent_hugepage")))
        GTEST_SKIP() << "this kernel has no huge pages for the heap";
    ASSERT_EQ(hugeHeapBytes(), 0);
    preferHugePagesForHeap();
    // At least 6 of the 8 MB: the region starts at the first 2 MB boundary.
    EXPECT_GE(hugeHeapBytes(), qint64(6) << 20);
}

}  // namespace
}  // namespace ostelvia::db
