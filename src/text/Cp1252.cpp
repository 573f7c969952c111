// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/Cp1252.h"

#include <array>

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
    // Never more bytes than characters: written in place, cut at the end.
    const qsizetype base = out.size();
    const qsizetype size = text.size();
    out.resize(base + size);
    char* const dst = out.data() + base;
    const auto* src = reinterpret_cast<const char16_t*>(text.constData());
    qsizetype in = 0;
    qsizetype written = 0;
    while (in < size) {
        // ASCII, nearly every character of a record, goes straight across.
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
