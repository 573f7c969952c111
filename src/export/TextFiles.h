// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's own text files: single-byte Windows-1252, lines ended by CR LF.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <QStringList>

#include <memory>

#include "text/Error.h"

namespace ostelvia::exporter {

class StagedFile;

// A file of the tool's own that cannot be read or written.
class FileError : public Error {
public:
    using Error::Error;
};

inline const QString kCrLf = QStringLiteral("\r\n");
inline const QString kFileImpostazioni = QStringLiteral("TaxSetup.txt");
// The scratch file of earlier versions, removed where one was left behind.
inline const QString kFileAppoggio = QStringLiteral("Passa.txt");

// A path as the tool uses it: a bare name is resolved in the current
// directory with letter case matched loosely; any other path is kept.
QString localPath(const QString& path);

// True when anything stands at the path: a FIFO, a folder or a device in
// place of one of the tool's files is reported as what it is when read, not
// taken for a missing file (and replaced by a default one).
bool fileExists(const QString& path);

// The file's lines, split at CR LF, CR or LF; no line for a final line end.
QStringList readLines(const QString& path);
// The file's bytes. Throws FileError naming the file, also when it is a
// folder, a device or a FIFO.
QByteArray readBytes(const QString& path);
// Copies the rest of `in` to the end of `out`, inside the kernel where it
// can, else a quarter of a megabyte at a time. Throws FileError naming the
// side that failed.
void copyRest(QFile& in, const QString& inShown, StagedFile& out);
// The first CR or LF from p on, or end.
const char* nextLineEnd(const char* p, const char* end);
// The first line, or "" for an empty file.
QString readFirstLine(const QString& path);

// The export file's path: line 1 of "TaxSetup.txt". A file that names none
// raises FileError, so nobody writes to an empty path.
QString readExportPath();
// The lines of "TaxSetup.txt" (export path, send command), without a UTF-8
// byte-order mark an editor put before the first.
QStringList readSettingsLines();

// Writes the text in Windows-1252 as a file of the tool's own: owner-only,
// whole or not at all, never through a link.
void writeText(const QString& path, const QString& text);

void removeFile(const QString& path);

// Removes the scratch file "Passa.txt" an earlier version may have left in
// the current directory, with every record of its last export in it.
void removeLeftoverScratch();

enum class LastLineEnd { Kept, Dropped };

// A text file written line by line in Windows-1252, each line ended by CR LF.
// The lines go to a file aside; close() puts it in the path's place, so the
// file at the path is either the one before or the whole new one. Every
// failure raises FileError.
class LineWriter {
public:
    // The path must name a regular file or nothing; an existing file keeps
    // its mode, a new one is owner-only.
    explicit LineWriter(const QString& path);
    // Without close(): the path keeps the file it had.
    ~LineWriter();
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;
    void writeLine(const QString& line);
    // A line already in Windows-1252, as the file holds it; neighbouring
    // lines with CR LF between them may come as one.
    void writeLine(QByteArrayView line);
    // Puts the lines in the path's place. Dropped: without the CR LF after
    // the last line, as RimuoviUltimoACapo would leave them (no line holds a
    // line end of its own).
    void close(LastLineEnd lastLineEnd = LastLineEnd::Kept);

private:
    void endLine();
    void writePending();

    QString path_;
    std::unique_ptr<StagedFile> file_;
    // Lines go to the disk a quarter of a megabyte at a time: the two-year
    // range writes 69,000 of them.
    QByteArray pending_;
};

// Removes the line end after the export file's last line: every line is
// copied, each ended by CR LF, to a file aside without the final CR LF, which
// then takes the export file's place. A failure leaves the export file as it
// was and nothing aside; a file with no line is left as it is.
void RimuoviUltimoACapo(const QString& exportPath);

}  // namespace ostelvia::exporter
