// SPDX-License-Identifier: GPL-3.0-or-later
// The lines of a text file as the tool reads them back (the export file in
// the list): the file's Windows-1252 bytes held once, each line a range of
// them, decoded only when shown or asked for. An export of two years is
// 69,000 lines and 54 MB; as separate texts it took twice that and a memory
// allocation per line.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVector>

#include <vector>

namespace ostelvia::exporter {

class LineWriter;

class ExportLines {
public:
    ExportLines() = default;

    // A line ends at CR LF, CR or LF; a last line without an end counts.
    // Throws FileError naming the file.
    static ExportLines read(const QString& path);
    // The lines of a text, as a file holding it would read back.
    static ExportLines fromTexts(const QStringList& texts);

    qsizetype size() const { return static_cast<qsizetype>(starts_.size()); }
    bool isEmpty() const { return starts_.empty(); }
    QString at(qsizetype line) const;
    QByteArrayView bytesAt(qsizetype line) const;
    QStringList texts() const;

    // Writes the lines numbered in `rows`, in that order, each followed by
    // CR LF. Neighbouring lines the file held with CR LF between them go
    // out as one piece of its bytes: a whole export is a few large writes
    // instead of 69,000 copies into a buffer.
    void writeTo(LineWriter& file, const QVector<int>& rows) const;

private:
    void split();

    QByteArray bytes_;
    std::vector<qsizetype> starts_;
    std::vector<qsizetype> ends_;
};

}  // namespace ostelvia::exporter
