// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/TextFiles.h"

#include "export/ExportLines.h"
#include "export/PrivateFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "db/Database.h"
#include "text/Cp1252.h"

namespace ostelvia::exporter {

using text::fromCp1252;
using text::toCp1252;

QString localPath(const QString& path)
{
    // A name with a NUL is refused when used; looked up in the folder first,
    // it would only add the toolkit's own warning to the terminal.
    if (platform::hasFolder(path) || path.contains(QChar(0)))
        return path;
    return db::resolveFileName(path);
}

bool fileExists(const QString& path)
{
    return platform::entryKind(localPath(path)) != platform::EntryKind::Missing;
}

namespace {

// Large enough for few system calls, small enough not to weigh on the
// peak memory of a run, which reaches it while rewriting the export file.
constexpr qint64 kChunk = 256 << 10;

QString readError(const QString& path, const QFile& file)
{
    return QStringLiteral("Impossibile leggere il file \"%1\": %2.").arg(path, file.errorString());
}

// Copies every line of `in` to `out`, each ended by CR LF (a line ends at
// CR LF, CR or LF); returns the number of lines. Streams, so a file of any
// size costs one buffer.
qint64 copyLinesWithCrLf(QFile& in, const QString& inPath, StagedFile& out)
{
    qint64 lines = 0;
    bool lineOpen = false;  // bytes since the last line end
    bool afterCr = false;   // an LF right after a CR belongs to it
    QByteArray converted;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kChunk);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            throw FileError(readError(inPath, in));
        converted.clear();
        converted.reserve(chunk.size() + chunk.size() / 64);
        const char* p = chunk.constData();
        const char* const end = p + chunk.size();
        while (p != end) {
            const char c = *p;
            if (c == '\n' && afterCr) {
                afterCr = false;
                ++p;
                continue;
            }
            afterCr = c == '\r';
            if (c == '\r' || c == '\n') {
                converted.append("\r\n", 2);
                ++lines;
                lineOpen = false;
                ++p;
                continue;
            }
            // The bytes up to the next line end go over in one piece.
            const char* run = p;
            p = nextLineEnd(p, end);
            converted.append(run, p - run);
            lineOpen = true;
        }
        out.write(converted);
    }
    if (lineOpen) {
        out.write("\r\n");
        ++lines;
    }
    return lines;
}

}  // namespace

QStringList readLines(const QString& path)
{
    return ExportLines::read(path).texts();
}

QByteArray readBytes(const QString& path)
{
    QFile file(localPath(path));
    openForReading(file, path);
    const qint64 size = file.size();
    QByteArray bytes;
    if (size <= 0) {
        // Nothing, or a file that does not tell its size: read to its end.
        bytes = file.readAll();
    } else {
        bytes.resize(size);
        qint64 done = 0;
        for (qint64 got = 0; done < size && (got = file.read(bytes.data() + done, size - done)) > 0;)
            done += got;
        // A file that grew while read keeps what it had when opened.
        bytes.truncate(done);
    }
    if (file.error() != QFileDevice::NoError)
        throw FileError(readError(path, file));
    return bytes;
}

void copyRest(QFile& in, const QString& inShown, StagedFile& out)
{
    out.copyInSystem(in);
    while (!in.atEnd()) {
        const QByteArray piece = in.read(kChunk);
        if (piece.isEmpty())
            throw FileError(readError(inShown, in));
        out.write(piece);
    }
}

const char* nextLineEnd(const char* p, const char* end)
{
    const auto* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(end - p)));
    const char* limit = cr ? cr : end;
    const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(limit - p)));
    return lf ? lf : limit;
}

QString readFirstLine(const QString& path)
{
    const ExportLines lines = ExportLines::read(path);
    return lines.isEmpty() ? QString() : lines.at(0);
}

QStringList readSettingsLines()
{
    QStringList lines = text::fromCp1252OrMarkedUtf8(readBytes(kFileImpostazioni))
                            .split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    // No line for a final line end.
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

QString readExportPath()
{
    const QStringList lines = readSettingsLines();
    const QString path = lines.isEmpty() ? QString() : lines.at(0);
    if (path.isEmpty())
        throw FileError(QStringLiteral("Il file \"TaxSetup.txt\" non indica il percorso del file di esportazione."));
    return path;
}

void writeText(const QString& path, const QString& text)
{
    StagedFile file(localPath(path), path, StagedFile::Mode::OwnerOnly);
    file.write(toCp1252(text));
    file.commit();
}

void removeFile(const QString& path)
{
    QFile file(localPath(path));
    if (file.exists() && !file.remove())
        throw FileError(QStringLiteral("Impossibile cancellare il file \"%1\": %2.").arg(path, file.errorString()));
}

void removeLeftoverScratch()
{
    const QString scratch = localPath(kFileAppoggio);
    if (QFileInfo(scratch).isSymLink() || QFileInfo(scratch).isFile())
        removeEntry(scratch);
}

LineWriter::LineWriter(const QString& path)
    : path_(path),
      file_(std::make_unique<StagedFile>(localPath(path), path, StagedFile::Mode::KeepTarget))
{
    pending_.reserve(kChunk + kChunk / 8);
}

LineWriter::~LineWriter() = default;

void LineWriter::writeLine(const QString& line)
{
    text::appendCp1252(pending_, line);
    endLine();
}

void LineWriter::writeLine(QByteArrayView line)
{
    if (line.size() < kChunk) {
        pending_.append(line.data(), line.size());
        return endLine();
    }
    // Many lines at once: written from where they are, not copied first,
    // and in pieces of the buffer's size (one 54 MB write took four times
    // as long as the same bytes a quarter megabyte at a time).
    if (!pending_.isEmpty())
        writePending();
    for (qsizetype done = 0; done < line.size();) {
        const qint64 piece = std::min<qint64>(kChunk, line.size() - done);
        file_->write(line.sliced(done, piece));
        done += piece;
    }
    endLine();
}

void LineWriter::endLine()
{
    pending_.append("\r\n", 2);
    if (pending_.size() >= kChunk)
        writePending();
}

void LineWriter::writePending()
{
    // A failed write ends the file: it is never put in the path's place.
    file_->write(pending_);
    pending_.truncate(0);
}

void LineWriter::close(LastLineEnd lastLineEnd)
{
    if (!file_)
        return;
    if (!pending_.isEmpty())
        writePending();
    pending_ = QByteArray();
    if (lastLineEnd == LastLineEnd::Dropped && file_->size() >= 2)
        file_->chop(2);
    const std::unique_ptr<StagedFile> file = std::move(file_);
    file->commit();
}

void RimuoviUltimoACapo(const QString& exportPath)
{
    QFile source(localPath(exportPath));
    openForReading(source, exportPath);
    StagedFile target(localPath(exportPath), exportPath, StagedFile::Mode::KeepTarget);
    if (copyLinesWithCrLf(source, exportPath, target) == 0)
        return;
    target.chop(2);
    // Windows replaces no file that is still open.
    source.close();
    target.commit();
}

}  // namespace ostelvia::exporter
