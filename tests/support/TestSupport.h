// SPDX-License-Identifier: GPL-3.0-or-later
// Shared helpers of the engine tests: a scratch front-office directory filled
// with fixture databases, and byte-for-byte file checks.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <map>
#include <ostream>

// GoogleTest shows a QString as its text, not as a list of characters.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << text.toStdString();
}

namespace ostelvia::test {

// The folder of a fixture dataset copied into the repository ("basic", ...).
QString fixtureDir(const QString& dataset = QStringLiteral("basic"));

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);
// True when only the current user may read and write the file: mode 0600
// (0700 for a folder) on POSIX, an access list of the user and the system
// alone on Windows.
bool isOwnerOnly(const QString& path);
// Moves the file's modification time `seconds` on, as a later save would;
// false when the system refused.
bool moveModifiedTimeOn(const QString& path, int seconds);

// A temporary front-office directory: copies the fixture's .mdb files into a
// fresh folder, makes it the current directory for the object's lifetime,
// and remembers every database's bytes so a test can prove they were never
// touched.
class ScratchDir {
public:
    explicit ScratchDir(const QString& dataset = QStringLiteral("basic"));
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const;

    // Replaces one database with another fixture's file (e.g. "broken/missing-table/Comuni.mdb").
    void replaceDatabase(const QString& fixtureRelativePath);
    // Replaces one database with the given bytes (a damaged copy), which the
    // untouched check then expects.
    void replaceDatabaseBytes(const QString& name, const QByteArray& bytes);
    // Writes "TaxSetup.txt" with the given export path and command, CR LF ended.
    void writeSettings(const QString& exportPath, const QString& command = QString());

    // True when every database copied in still has the bytes it was copied with.
    bool databasesUntouched() const;

private:
    QTemporaryDir dir_;
    QString previousDir_;
    std::map<QString, QByteArray> originals_;
};

}  // namespace ostelvia::test
