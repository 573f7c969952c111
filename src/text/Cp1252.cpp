// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/Cp1252.h"

#include <array>
#include <cstdint>
#include <cstring>

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

// Four UTF-16 units read as one number, and the bits that are set in it
// when any of them is not ASCII (whatever the byte order).
std::uint64_t unitsAt(const char16_t* units)
{
    std::uint64_t four;
    std::memcpy(&four, units, sizeof four);
    return four;
}
constexpr std::uint64_t kNotAsciiUnits = 0xFF80FF80FF80FF80u;

}  // namespace

void appendCp1252(QByteArray& out, const QString& text)
{
    // Never more bytes than characters: written in place, cut at the end.
    const qsizetype base = out.size();
    const qsizetype size = text.size();
    out.resize(base + size);
    char* const dst = out.data() + base;
    const auto* src = reinterpret_cast<const char16_t*>(text.constData());
    qsizetype in = 0;
    qsizetype written = 0;
    while (in < size) {
        // ASCII, nearly every character of a record, goes straight across,
        // four characters to one test while it lasts.
        while (size - in >= 4 && !(unitsAt(src + in) & kNotAsciiUnits)) {
            dst[written] = static_cast<char>(src[in]);
            dst[written + 1] = static_cast<char>(src[in + 1]);
            dst[written + 2] = static_cast<char>(src[in + 2]);
            dst[written + 3] = static_cast<char>(src[in + 3]);
            in += 4;
            written += 4;
        }
        while (in < size && src[in] < 0x80)
            dst[written++] = static_cast<char>(src[in++]);
        if (in == size)
            break;
        const char16_t u = src[in++];
        if (QChar::isHighSurrogate(u) && in < size && QChar::isLowSurrogate(src[in])) {
            // One character outside the BMP: one byte, so field widths hold.
            ++in;
            dst[written++] = '?';
        } else {
            dst[written++] = QChar::isSurrogate(u) ? '?' : encodeOne(u);
        }
    }
    out.truncate(base + written);
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

QString fromCp1252OrMarkedUtf8(QByteArrayView bytes)
{
    static constexpr QByteArrayView kUtf8Mark("\xEF\xBB\xBF");
    if (bytes.startsWith(kUtf8Mark))
        return QString::fromUtf8(bytes.data() + kUtf8Mark.size(), bytes.size() - kUtf8Mark.size());
    return fromCp1252(bytes);
}

}  // namespace ostelvia::text
