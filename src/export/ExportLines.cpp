// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ExportLines.h"

#include "export/TextFiles.h"
#include "text/Cp1252.h"

namespace ostelvia::exporter {

ExportLines ExportLines::read(const QString& path)
{
    ExportLines lines;
    lines.bytes_ = readBytes(path);
    lines.split();
    return lines;
}

ExportLines ExportLines::fromTexts(const QStringList& texts)
{
    ExportLines lines;
    for (const QString& text : texts) {
        text::appendCp1252(lines.bytes_, text);
        lines.bytes_.append("\r\n", 2);
    }
    lines.split();
    return lines;
}

void ExportLines::split()
{
    const char* const begin = bytes_.constData();
    const char* const end = begin + bytes_.size();
    const char* p = begin;
    while (p != end) {
        const char* lineEnd = nextLineEnd(p, end);
        starts_.push_back(p - begin);
        ends_.push_back(lineEnd - begin);
        if (lineEnd == end)
            break;
        p = lineEnd + 1;
        if (*lineEnd == '\r' && p != end && *p == '\n')
            ++p;
    }
}

QByteArrayView ExportLines::bytesAt(qsizetype line) const
{
    const auto at = static_cast<size_t>(line);
    return QByteArrayView(bytes_.constData() + starts_[at], ends_[at] - starts_[at]);
}

void ExportLines::writeTo(LineWriter& file, const QVector<int>& rows) const
{
    for (qsizetype k = 0; k < rows.size();) {
        const auto first = static_cast<size_t>(rows[k]);
        size_t last = first;
        // Two bytes between one line and the next are CR LF: a lone CR or
        // LF leaves one.
        while (++k < rows.size() && static_cast<size_t>(rows[k]) == last + 1 && ends_[last] + 2 == starts_[last + 1])
            ++last;
        file.writeLine(QByteArrayView(bytes_.constData() + starts_[first], ends_[last] - starts_[first]));
    }
}

QString ExportLines::at(qsizetype line) const
{
    return text::fromCp1252(bytesAt(line));
}

QStringList ExportLines::texts() const
{
    QStringList all;
    all.reserve(size());
    for (qsizetype line = 0; line < size(); ++line)
        all.append(at(line));
    return all;
}

}  // namespace ostelvia::exporter
