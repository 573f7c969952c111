// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "db/Database.h"
#include "platform/Platform.h"

namespace ostelvia::test {

QString fixtureDir(const QString& dataset)
{
    return QStringLiteral(OSTELVIA_TEST_DATA) + QLatin1Char('/') + dataset;
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

#ifdef Q_OS_WIN
// The entries "(A;;FA;;;SY)" of an access list in the system's notation, in
// order: the system may keep them in another order than they were given.
QStringList accessEntries(const QString& descriptor)
{
    static const QRegularExpression entry(QStringLiteral("\\([^)]*\\)"));
    QStringList entries;
    for (auto it = entry.globalMatch(descriptor); it.hasNext();)
        entries.append(it.next().captured());
    entries.sort();
    return entries;
}
#endif

bool isOwnerOnly(const QString& path)
{
    const bool folder = QFileInfo(path).isDir();
#ifdef Q_OS_WIN
    // Wine keeps the entries but not the flag that stops inheritance.
    const platform::KeptAccess access = platform::accessOf(path);
    return access.kept && accessEntries(access.descriptor) == accessEntries(platform::ownerOnlyDescriptor(folder));
#else
    const platform::KeptAccess access = platform::accessOf(path);
    return access.kept && access.mode == (folder ? 0700u : 0600u);
#endif
}

bool moveModifiedTimeOn(const QString& path, int seconds)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QDateTime later = file.fileTime(QFileDevice::FileModificationTime).addSecs(seconds);
    return file.setFileTime(later, QFileDevice::FileModificationTime);
}

ScratchDir::ScratchDir(const QString& dataset) : previousDir_(QDir::currentPath())
{
    const QDir source(fixtureDir(dataset));
    for (const QString& name : source.entryList({QStringLiteral("*.mdb")}, QDir::Files)) {
        const QByteArray bytes = readBytes(source.filePath(name));
        writeBytes(filePath(name), bytes);
        originals_[name] = bytes;
    }
    QDir::setCurrent(dir_.path());
}

ScratchDir::~ScratchDir()
{
    QDir::setCurrent(previousDir_);
}

QString ScratchDir::filePath(const QString& name) const
{
    return dir_.filePath(name);
}

void ScratchDir::replaceDatabase(const QString& fixtureRelativePath)
{
    const QString source = QStringLiteral(OSTELVIA_TEST_DATA) + QLatin1Char('/') + fixtureRelativePath;
    const QString name = QFileInfo(source).fileName();
    const QByteArray bytes = readBytes(source);
    writeBytes(filePath(name), bytes);
    originals_[name] = bytes;
}

void ScratchDir::replaceDatabaseBytes(const QString& name, const QByteArray& bytes)
{
    writeBytes(filePath(name), bytes);
    originals_[name] = bytes;
}

void ScratchDir::writeSettings(const QString& exportPath, const QString& command)
{
    writeBytes(filePath(QStringLiteral("TaxSetup.txt")),
               (exportPath + QStringLiteral("\r\n") + command + QStringLiteral("\r\n")).toUtf8());
}

bool ScratchDir::databasesUntouched() const
{
    for (const auto& [name, bytes] : originals_) {
        if (readBytes(filePath(name)) != bytes)
            return false;
    }
    return true;
}

}  // namespace ostelvia::test
