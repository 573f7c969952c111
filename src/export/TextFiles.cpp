#include "export/TextFiles.h"

#include <QFile>
#include <QFileInfo>

#include "db/Database.h"
#include "export/Cp1252.h"

namespace ostelvia::exporter {

FileError::FileError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message)
{
}

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

QByteArray readAll(const QString& path)
{
    QFile file(localPath(path));
    if (QFileInfo(file).isDir() || !file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Impossibile leggere il file \"%1\": %2.")
                            .arg(path, file.exists() ? file.errorString() : QStringLiteral("il file non esiste")));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("Impossibile leggere il file \"%1\": %2.").arg(path, file.errorString()));
    return bytes;
}

}  // namespace

QStringList readLines(const QString& path)
{
    const QString text = fromCp1252(readAll(path));
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

QString readFirstLine(const QString& path)
{
    const QStringList lines = readLines(path);
    return lines.isEmpty() ? QString() : lines.first();
}

void writeText(const QString& path, const QString& text)
{
    const QString target = localPath(path);
    QFile file(target);
    const QByteArray bytes = toCp1252(text);
    if (QFileInfo(target).isDir() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FileError(QStringLiteral("Impossibile scrivere il file \"%1\": %2.").arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw FileError(QStringLiteral("Impossibile scrivere il file \"%1\": %2.").arg(path, file.errorString()));
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("Impossibile scrivere il file \"%1\": %2.").arg(path, file.errorString()));
}

void removeFile(const QString& path)
{
    QFile file(localPath(path));
    if (file.exists() && !file.remove())
        throw FileError(QStringLiteral("Impossibile cancellare il file \"%1\": %2.").arg(path, file.errorString()));
}

void RimuoviUltimoACapo(const QString& exportPath)
{
    const QStringList lines = readLines(exportPath);
    QString copy;
    for (const QString& line : lines)
        copy += line + kCrLf;
    writeText(kFileAppoggio, copy);
    if (lines.isEmpty())
        return;
    writeText(exportPath, lines.join(kCrLf));
    removeFile(kFileAppoggio);
}

}  // namespace ostelvia::exporter
