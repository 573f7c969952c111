// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/TextFiles.h"

#include "export/ExportLines.h"

#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "db/Database.h"
#include "text/Cp1252.h"

namespace ostelvia::exporter {

using text::fromCp1252;
using text::toCp1252;

QString localPath(const QString& path)
{
    if (path.contains(QLatin1Char('/')))
        return path;
    return db::resolveFileName(path);
}

bool fileExists(const QString& path)
{
    return QFileInfo(localPath(path)).isFile();
}

namespace {

// Large enough for few system calls, small enough not to weigh on the
// peak memory of a run, which reaches it while rewriting the export file.
constexpr qint64 kChunk = 256 << 10;

QString readError(const QString& path, const QFile& file)
{
    return QStringLiteral("Impossibile leggere il file \"%1\": %2.").arg(path, file.errorString());
}

QString writeError(const QString& path, const QFile& file)
{
    return QStringLiteral("Impossibile scrivere il file \"%1\": %2.").arg(path, file.errorString());
}

void openOrThrow(QFile& file, QIODevice::OpenMode mode, const QString& path)
{
    // The system would take the name only up to a NUL (a settings file full
    // of binary garbage) and write some other file.
    if (file.fileName().contains(QChar(0)))
        throw FileError(QStringLiteral("Impossibile %1 il file \"%2\": il nome del file non è valido.")
                            .arg(mode & QIODevice::WriteOnly ? QStringLiteral("scrivere") : QStringLiteral("leggere"),
                                 QString(path).replace(QChar(0), QLatin1Char(' '))));
    if (QFileInfo(file).isDir() || !file.open(mode))
        throw FileError(mode & QIODevice::WriteOnly ? writeError(path, file) : readError(path, file));
}

void writeOrThrow(QFile& file, const QByteArray& bytes, const QString& path)
{
    if (file.write(bytes) != bytes.size())
        throw FileError(writeError(path, file));
}

void closeOrThrow(QFile& file, const QString& path)
{
    if (!file.flush())
        throw FileError(writeError(path, file));
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw FileError(writeError(path, file));
}

// Copies every line of `in` to `out`, each ended by CR LF (a line ends at
// CR LF, CR or LF); returns the number of lines. Streams, so a file of any
// size costs one buffer.
qint64 copyLinesWithCrLf(QFile& in, const QString& inPath, QFile& out, const QString& outPath)
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
        writeOrThrow(out, converted, outPath);
    }
    if (lineOpen) {
        writeOrThrow(out, QByteArray("\r\n"), outPath);
        ++lines;
    }
    return lines;
}

// Copies the first `count` bytes of `in` to `out`.
void copyBytes(QFile& in, const QString& inPath, QFile& out, const QString& outPath, qint64 count)
{
    switch (copyPieces(in, out, count)) {
    case CopyResult::ReadFailed:
        throw FileError(readError(inPath, in));
    case CopyResult::WriteFailed:
        throw FileError(writeError(outPath, out));
    case CopyResult::Done:
        break;
    }
}

}  // namespace

QStringList readLines(const QString& path)
{
    return ExportLines::read(path).texts();
}

QByteArray readBytes(const QString& path)
{
    QFile file(localPath(path));
    if (!file.exists())
        throw FileError(QStringLiteral("Impossibile leggere il file \"%1\": il file non esiste.").arg(path));
    openOrThrow(file, QIODevice::ReadOnly | QIODevice::Unbuffered, path);
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

namespace {

// Copies from both files' current positions inside the kernel, without the
// bytes passing through this process, and moves both positions on; `count`
// is left with what is still to copy (-1: the rest). It stops at the first
// refusal (a file system or kernel without it, a full disk) and leaves the
// rest, and the report of any failure, to the copy a piece at a time. False
// when the files' positions could not be moved on.
bool copyInKernel(QFile& in, QFile& out, qint64& count)
{
    if (in.handle() < 0 || out.handle() < 0)
        return true;
    off_t from = in.pos();
    off_t to = out.pos();
    const off_t start = from;
    while (count != 0) {
        const qint64 piece = count > 0 ? std::min<qint64>(count, qint64(1) << 30) : qint64(1) << 30;
        const ssize_t copied = ::copy_file_range(in.handle(), &from, out.handle(), &to, static_cast<size_t>(piece), 0);
        if (copied < 0 && errno == EINTR)
            continue;
        if (copied <= 0)
            break;
        if (count > 0)
            count -= copied;
    }
    return from == start || (in.seek(from) && out.seek(to));
}

}  // namespace

CopyResult copyPieces(QFile& in, QFile& out, qint64 count)
{
    if (!copyInKernel(in, out, count))
        return CopyResult::ReadFailed;
    while (count != 0 && (count > 0 || !in.atEnd())) {
        const QByteArray piece = in.read(count > 0 ? std::min(count, kChunk) : kChunk);
        if (piece.isEmpty())
            return CopyResult::ReadFailed;
        if (out.write(piece) != piece.size())
            return CopyResult::WriteFailed;
        if (count > 0)
            count -= piece.size();
    }
    return CopyResult::Done;
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

QString readExportPath()
{
    const QString path = readFirstLine(kFileImpostazioni);
    if (path.isEmpty())
        throw FileError(QStringLiteral("Il file \"TaxSetup.txt\" non indica il percorso del file di esportazione."));
    return path;
}

void writeText(const QString& path, const QString& text)
{
    QFile file(localPath(path));
    openOrThrow(file, QIODevice::WriteOnly | QIODevice::Truncate, path);
    writeOrThrow(file, toCp1252(text), path);
    closeOrThrow(file, path);
}

void removeFile(const QString& path)
{
    QFile file(localPath(path));
    if (file.exists() && !file.remove())
        throw FileError(QStringLiteral("Impossibile cancellare il file \"%1\": %2.").arg(path, file.errorString()));
}

LineWriter::LineWriter(const QString& path) : path_(path), file_(localPath(path))
{
    openOrThrow(file_, QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered, path_);
    pending_.reserve(kChunk + kChunk / 8);
}

LineWriter::~LineWriter()
{
    if (file_.isOpen() && !pending_.isEmpty())
        file_.write(pending_);
}

void LineWriter::writeLine(const QString& line)
{
    text::appendCp1252(pending_, line);
    endLine();
}

void LineWriter::writeLine(QByteArrayView line)
{
    if (line.size() < kChunk) {
        pending_.append(line);
        return endLine();
    }
    // Many lines at once: written from where they are, not copied first,
    // and in pieces of the buffer's size (one 54 MB write took four times
    // as long as the same bytes a quarter megabyte at a time).
    if (!pending_.isEmpty())
        writePending();
    for (qsizetype done = 0; done < line.size();) {
        const qint64 piece = std::min<qint64>(kChunk, line.size() - done);
        if (file_.write(line.data() + done, piece) != piece)
            throw FileError(writeError(path_, file_));
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
    const bool written = file_.write(pending_) == pending_.size();
    // Emptied either way: the destructor must not try a failed write again.
    pending_.truncate(0);
    if (!written)
        throw FileError(writeError(path_, file_));
}

void LineWriter::close()
{
    if (!file_.isOpen())
        return;
    if (!pending_.isEmpty())
        writePending();
    pending_ = QByteArray();  // the rewrite that follows needs the memory
    closeOrThrow(file_, path_);
}

void RimuoviUltimoACapo(const QString& exportPath)
{
    qint64 lines = 0;
    {
        QFile source(localPath(exportPath));
        QFile scratch(localPath(kFileAppoggio));
        openOrThrow(source, QIODevice::ReadOnly | QIODevice::Unbuffered, exportPath);
        openOrThrow(scratch, QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered, kFileAppoggio);
        lines = copyLinesWithCrLf(source, exportPath, scratch, kFileAppoggio);
        closeOrThrow(scratch, kFileAppoggio);
    }
    if (lines == 0)
        return;
    {
        QFile scratch(localPath(kFileAppoggio));
        QFile target(localPath(exportPath));
        openOrThrow(scratch, QIODevice::ReadOnly | QIODevice::Unbuffered, kFileAppoggio);
        openOrThrow(target, QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered, exportPath);
        copyBytes(scratch, kFileAppoggio, target, exportPath, scratch.size() - 2);
        closeOrThrow(target, exportPath);
    }
    removeFile(kFileAppoggio);
}

}  // namespace ostelvia::exporter
