// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/Cp1252.h"

#include <cstdint>
#include <cstring>

#include <array>
#include <bit>

namespace ostelvia::text {

namespace {

// Bytes 0x80 to 0x9F. The five bytes Windows-1252 leaves undefined decode to
// the C1 control of the same number, so any byte survives a round trip.
constexpr std::array<char16_t, 32> kHighBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char encodeOne(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (std::size_t i = 0; i < kHighBlock.size(); ++i) {
        if (kHighBlock[i] == u)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

}  // namespace

void appendCp1252(QByteArray& out, const QString& text)
{
    const qsizetype base = out.size();
    out.resize(base + text.size());
    char* dst = out.data() + base;
    const auto* src = reinterpret_cast<const char16_t*>(text.constData());
    qsizetype i = 0;
    // ASCII, four characters at a time: a record is 776 of them.
    static_assert(std::endian::native == std::endian::little, "the first character is the low half of the word");
    for (; i + 4 <= text.size(); i += 4) {
        std::uint64_t four;
        std::memcpy(&four, src + i, sizeof four);
        if (four & 0xFF80FF80FF80FF80u)
            break;
        for (int k = 0; k < 4; ++k)
            dst[i + k] = static_cast<char>(four >> (16 * k));
    }
    // Latin-1 characters are their own byte.
    for (; i < text.size(); ++i) {
        const char16_t u = src[i];
        if (u >= 0x80 && (u < 0xA0 || u > 0xFF))
            break;
        dst[i] = static_cast<char>(u);
    }
    if (i == text.size())
        return;
    out.truncate(base + i);
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            // One character outside the BMP: one byte, so field widths hold.
            out.append('?');
            ++i;
        } else if (c.isSurrogate()) {
            out.append('?');
        } else {
            out.append(encodeOne(c.unicode()));
        }
    }
}

QByteArray toCp1252(const QString& text)
{
    QByteArray out;
    appendCp1252(out, text);
    return out;
}

QString fromCp1252(QByteArrayView bytes)
{
    // One character per byte, written in place: an export file runs to tens
    // of megabytes, and appending character by character costs far more.
    QString out(bytes.size(), Qt::Uninitialized);
    auto* dst = reinterpret_cast<char16_t*>(out.data());
    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char u = src[i];
        dst[i] = u >= 0x80 && u <= 0x9F ? kHighBlock[u - 0x80] : char16_t{u};
    }
    return out;
}

}  // namespace ostelvia::text
