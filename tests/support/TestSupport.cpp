// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "db/Database.h"

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
