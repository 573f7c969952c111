// SPDX-License-Identifier: GPL-3.0-or-later
// What the tool asks of the operating system, said once for every system it
// runs on: opening and reading files without waiting on what is not a file,
// telling a file from its changed self, writing a file aside owner-only and
// renaming it into place, owner-only folders, standard error kept quiet, the
// terminal, and the defaults that differ between systems. POSIX and Windows
// each have one implementation of it; nothing else in the tool asks which
// system it is on. QtCore only.
#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace ostelvia::platform {

// Why a system call failed, told the same way on every system.
enum class Failure {
    None,
    DiskFull,
    QuotaExceeded,
    FileTooLarge,
    PermissionDenied,
    NotFound,
    NotAFolderInPath,
    IsFolder,
    IsLink,
    Exists,
    ReadOnlyDisk,
    InputOutput,
    NameTooLong,
    InvalidName,
    InUse,
    Other,
};

struct SystemError {
    Failure failure = Failure::None;
    long code = 0;  // the system's own number (errno, GetLastError), for Other
    explicit operator bool() const { return failure != Failure::None; }
};

// The reason in plain Italian: "il disco è pieno", "permesso negato"...
QString reasonOf(const SystemError& error);

// What stands at a path.
enum class EntryKind { Missing, Regular, Link, Folder, Device, Fifo, Other };

// What stands at the path itself, a link (a junction or any other reparse
// point on Windows) not followed. A device name (NUL, COM1) is a Device.
EntryKind entryKind(const QString& path);

// Why such an entry cannot be read or written as a file of its own ("è una
// cartella", "è un collegamento simbolico"...); empty for Regular and Missing.
QString kindReason(EntryKind kind);

// What tells a file apart from its changed self without reading it.
struct FileSignature {
    std::uint64_t volume = 0;
    std::uint64_t fileId = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool operator==(const FileSignature&) const = default;
};

// The signature of the file at the path, a link followed; IsFolder for a folder.
SystemError signatureAt(const QString& path, FileSignature* signature);

// A file open for reading. Opening never waits (a FIFO with no writer, a
// device), and a file another program holds open for writing, as the front
// office holds its databases, is still opened.
class ReadFile {
public:
    enum class Links { Follow, Refuse };

    ReadFile() = default;
    ReadFile(const QString& path, Links links);
    ~ReadFile();
    ReadFile(ReadFile&& other) noexcept;
    ReadFile& operator=(ReadFile&& other) noexcept;
    ReadFile(const ReadFile&) = delete;
    ReadFile& operator=(const ReadFile&) = delete;

    bool isOpen() const { return handle_ != kNoHandle; }
    // Why the open failed (IsLink for a link refused).
    SystemError openError() const { return openError_; }
    // What was opened: only a Regular file is to be read.
    EntryKind kind() const;
    SystemError signature(FileSignature* signature) const;
    // Up to `count` bytes from `offset`: how many were read (0 at the end),
    // or -1 with *error.
    std::int64_t readAt(std::int64_t offset, char* into, std::int64_t count, SystemError* error) const;
    // Up to `count` bytes from the start, fewer only where the file ends
    // first: how many were read, or -1 with *error.
    std::int64_t readFromStart(char* into, std::int64_t count, SystemError* error) const;
    // Hands the file over as a C runtime descriptor (for QFile::open), in
    // blocking mode; the object is closed afterwards. -1 on failure.
    int releaseDescriptor();

private:
    static constexpr std::intptr_t kNoHandle = -1;
    std::intptr_t handle_ = kNoHandle;
    SystemError openError_;
};

// How an existing file may be read and written by whom: its mode on POSIX,
// its access list on Windows. Empty when there was nothing to keep.
struct KeptAccess {
    bool kept = false;
    unsigned mode = 0;   // POSIX
    QString descriptor;  // Windows, in the system's own notation (SDDL)
};

// The access of the file at the path, to give its replacement.
KeptAccess accessOf(const QString& path);

// A new file under a name nothing stands at: created exclusively, never
// through a link, readable and writable by the current user only (mode 0600;
// on Windows an access list of the user and the system alone).
class NewFile {
public:
    explicit NewFile(const QString& path);
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    bool isOpen() const { return handle_ != kNoHandle; }
    SystemError openError() const { return openError_; }
    SystemError write(const char* bytes, std::int64_t count);
    // Cuts the file to `size` bytes and goes on writing there.
    SystemError truncate(std::int64_t size);
    // Copies `size` bytes of the open C runtime descriptor `from`, from
    // `offset`, to the end of this file inside the system where it can: how
    // many bytes were copied (fewer, even 0: copy the rest yourself), or -1
    // with *error.
    std::int64_t copyFrom(int from, std::int64_t offset, std::int64_t size, SystemError* error);
    SystemError giveAccess(const KeptAccess& access);
    // Closes the file; a disk that reserves space late reports it here.
    SystemError close();

private:
    static constexpr std::intptr_t kNoHandle = -1;
    std::intptr_t handle_ = kNoHandle;
    std::int64_t position_ = 0;
    SystemError openError_;
};

// Renames `from` over `to`, replacing a file there in one step; a link at
// `to` is replaced, never written through.
SystemError replaceWith(const QString& from, const QString& to);
// Renames `from` to `to` only when nothing stands at `to` (Exists).
SystemError renameToNew(const QString& from, const QString& to);
// Removes a file, a link or a device entry without following it; never a
// folder. True when something was removed.
bool removeEntry(const QString& path);

// The account that owns the entry at the path itself (a link not followed),
// when that is not the current user: its name, or its number (SID) when it
// has none. Empty when the current user owns it or nothing is there.
QString foreignOwner(const QString& path);

// Removes, of the `names` in `folder`, those that are regular files, when the
// folder is one of the current user's own and no link: the folder is reached
// once, never through a link, and links, FIFOs and devices in it are left
// alone. How many files were removed.
int removeRegularFiles(const QString& folder, const QStringList& names);

// Creates the folder for the current user only, or makes an existing one of
// the user's owner-only; a link in its place is refused. The reason it cannot,
// in Italian, or empty.
QString makePrivateFolder(const QString& folder);

// The access list a file (or folder) the tool creates gets, in the system's
// own notation; empty where modes do it (POSIX).
QString ownerOnlyDescriptor(bool folder);

// A C stream that reads `size` bytes kept in memory by the caller, who keeps
// them until the stream is closed (libmdb reads its pages through one);
// nullptr when it cannot be made.
FILE* streamOver(const char* bytes, std::size_t size);

// Standard error of the C runtime sent nowhere, and back: a library that
// prints its warnings there is kept off the terminal while it works.
std::intptr_t muteStandardError();
void restoreStandardError(std::intptr_t saved);

enum class Stream { Output, Error };
// Writes text to standard output or error as the terminal reads it: the
// locale's encoding on POSIX (UTF-8), the console's own characters on Windows
// (UTF-8 when the stream goes to a file or a pipe). Control characters but
// the line end LF are blanks in what is written, C1 included.
void writeTerminal(Stream stream, const QString& text);

// Starts a command line as a program of its own, without waiting for it:
// split as a shell would on POSIX (quotes group words), handed whole to the
// system on Windows, which also finds an unquoted program path with blanks
// ("C:\Programmi\Internet Explorer\iexplore.exe https://..."). False when
// nothing could be started.
bool startDetached(const QString& commandLine);
// The program a command line starts, as the user wrote it, for a message.
QString programOf(const QString& commandLine);

// A file-size limit (ulimit -f) is then a write error, told like a full disk,
// instead of a signal that ends the process without a word.
void treatFileSizeLimitAsError();

// The defaults of the settings file where none is written yet.
QString defaultExportPath();
QString defaultSendCommand();
// The user's settings file for an organisation and application, in the INI
// form: where Qt keeps them on POSIX (QSettings::setPath applies), an INI
// file in the user's application data on Windows instead of the registry.
QString userSettingsFile(const QString& organisation, const QString& application);

// The command that shows the code list `fileName` (its name as on disk).
QString textViewerCommand(const QString& fileName);

// True where the file system takes "Passa.txt" and "passa.txt" for one file.
#ifdef _WIN32
inline constexpr bool kNamesIgnoreLetterCase = true;
#else
inline constexpr bool kNamesIgnoreLetterCase = false;
#endif

// True when the path names a file by a path of its own rather than a bare
// name in the working folder ("C:\ZaverUdevu.txt", "dir/file", "/tmp/x").
bool hasFolder(const QString& path);

}  // namespace ostelvia::platform
