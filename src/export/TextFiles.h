// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's own text files: single-byte Windows-1252, lines ended by CR LF.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <QStringList>

#include "text/Error.h"

namespace ostelvia::exporter {

// A file of the tool's own that cannot be read or written.
class FileError : public Error {
public:
    using Error::Error;
};

inline const QString kCrLf = QStringLiteral("\r\n");
inline const QString kFileImpostazioni = QStringLiteral("TaxSetup.txt");
inline const QString kFileAppoggio = QStringLiteral("Passa.txt");

// A path as the tool uses it: a bare name is resolved in the current
// directory with letter case matched loosely; any other path is kept.
QString localPath(const QString& path);

bool fileExists(const QString& path);

// The file's lines, split at CR LF, CR or LF; no line for a final line end.
QStringList readLines(const QString& path);
// The file's bytes. Throws FileError naming the file.
QByteArray readBytes(const QString& path);
// Copies `count` bytes of `in`, or all the rest of it when count is -1, to
// `out` a quarter of a megabyte at a time; says which side failed, if one did.
enum class CopyResult { Done, ReadFailed, WriteFailed };
CopyResult copyPieces(QFile& in, QFile& out, qint64 count = -1);
// The first CR or LF from p on, or end.
const char* nextLineEnd(const char* p, const char* end);
// The first line, or "" for an empty file.
QString readFirstLine(const QString& path);

// The export file's path: line 1 of "TaxSetup.txt". A file that names none
// raises FileError, so nobody writes to an empty path.
QString readExportPath();

// Writes the text (created or emptied) in Windows-1252.
void writeText(const QString& path, const QString& text);

void removeFile(const QString& path);

// A text file written line by line in Windows-1252, each line ended by CR LF.
// Opening empties it; every failure raises FileError.
class LineWriter {
public:
    explicit LineWriter(const QString& path);
    // Writes what close() did not get to, as far as the disk takes it.
    ~LineWriter();
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;
    void writeLine(const QString& line);
    // A line already in Windows-1252, as the file holds it.
    void writeLine(QByteArrayView line);
    // Flushes and closes; lines written stay in the file.
    void close();

private:
    void endLine();
    void writePending();

    QString path_;
    QFile file_;
    // Lines go to the disk a quarter of a megabyte at a time: the two-year
    // range writes 69,000 of them.
    QByteArray pending_;
};

// Removes the line end after the export file's last line through the scratch
// file "Passa.txt": every line is copied there, then back without the final
// CR LF, and the scratch file is deleted. A file with no line leaves an empty
// "Passa.txt" behind.
void RimuoviUltimoACapo(const QString& exportPath);

}  // namespace ostelvia::exporter
