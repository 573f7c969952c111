// SPDX-License-Identifier: GPL-3.0-or-later
// The system interface on Windows.
#include "platform/Platform.h"
#include "platform/PlatformDetail.h"

#include <QDir>
#include <QSettings>
#include <QStringList>

#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>
#include <fcntl.h>
#include <io.h>
#include <sddl.h>

#include <cstdio>
#include <memory>
#include <utility>

namespace ostelvia::platform {

namespace {

std::wstring wide(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

HANDLE handleOf(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

SystemError errorOf(DWORD code)
{
    switch (code) {
    case ERROR_SUCCESS:
        return {};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return {Failure::DiskFull, long(code)};
    case 1295:  // ERROR_DISK_QUOTA_EXCEEDED, which mingw-w64 does not name
        return {Failure::QuotaExceeded, long(code)};
    case ERROR_FILE_TOO_LARGE:
        return {Failure::FileTooLarge, long(code)};
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return {Failure::PermissionDenied, long(code)};
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return {Failure::NotFound, long(code)};
    case ERROR_DIRECTORY:
        return {Failure::NotAFolderInPath, long(code)};
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return {Failure::Exists, long(code)};
    case ERROR_WRITE_PROTECT:
        return {Failure::ReadOnlyDisk, long(code)};
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
        return {Failure::InputOutput, long(code)};
    case ERROR_FILENAME_EXCED_RANGE:
        return {Failure::NameTooLong, long(code)};
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return {Failure::InvalidName, long(code)};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_BUSY:
        return {Failure::InUse, long(code)};
    default:
        return {Failure::Other, long(code)};
    }
}

SystemError lastError()
{
    return errorOf(GetLastError());
}

// CON, PRN, AUX, NUL, COM1–COM9, LPT1–LPT9, with or without an extension and
// in any folder: Windows opens the device, whatever the folder holds.
bool isDeviceName(const QString& path)
{
    if (path.startsWith(QLatin1String("\\\\.\\")) || path.startsWith(QLatin1String("//./")))
        return true;
    QString name = QDir::fromNativeSeparators(path).section(QLatin1Char('/'), -1);
    name = name.section(QLatin1Char('.'), 0, 0).section(QLatin1Char(':'), 0, 0).trimmed().toUpper();
    static const QStringList fixed = {QStringLiteral("CON"), QStringLiteral("PRN"),    QStringLiteral("AUX"),
                                      QStringLiteral("NUL"), QStringLiteral("CONIN$"), QStringLiteral("CONOUT$")};
    if (fixed.contains(name))
        return true;
    return name.size() == 4 && (name.startsWith(QLatin1String("COM")) || name.startsWith(QLatin1String("LPT")))
        && name[3] >= QLatin1Char('1') && name[3] <= QLatin1Char('9');
}

EntryKind kindOfAttributes(DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return EntryKind::Link;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return EntryKind::Folder;
    if (attributes & FILE_ATTRIBUTE_DEVICE)
        return EntryKind::Device;
    return EntryKind::Regular;
}

std::int64_t fileTimeNs(const LARGE_INTEGER& time)
{
    // 100-nanosecond ticks.
    return time.QuadPart * 100;
}

// The current user's security identifier as text ("S-1-5-21-...").
QString currentUserSid()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    auto buffer = std::make_unique<BYTE[]>(size);
    QString sid;
    if (GetTokenInformation(token, TokenUser, buffer.get(), size, &size)) {
        LPWSTR text = nullptr;
        if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid, &text)) {
            sid = QString::fromWCharArray(text);
            LocalFree(text);
        }
    }
    CloseHandle(token);
    return sid;
}

// A security descriptor made from its text, freed with the object.
class Descriptor {
public:
    explicit Descriptor(const QString& text)
    {
        if (!text.isEmpty())
            ConvertStringSecurityDescriptorToSecurityDescriptorW(text.toStdWString().c_str(), SDDL_REVISION_1,
                                                                 &descriptor_, nullptr);
    }
    ~Descriptor()
    {
        if (descriptor_)
            LocalFree(descriptor_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    PSECURITY_DESCRIPTOR get() const { return descriptor_; }
    SECURITY_ATTRIBUTES attributes() const { return {sizeof(SECURITY_ATTRIBUTES), descriptor_, FALSE}; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
};

}  // namespace

QString detail::systemMessage(long code)
{
    return QStringLiteral("codice %1").arg(code);
}

EntryKind entryKind(const QString& path)
{
    if (isDeviceName(path))
        return EntryKind::Device;
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return EntryKind::Missing;
    return kindOfAttributes(attributes);
}

SystemError signatureAt(const QString& path, FileSignature* signature)
{
    const ReadFile file(path, ReadFile::Links::Follow);
    if (!file.isOpen())
        return file.openError();
    if (file.kind() == EntryKind::Folder)
        return {Failure::IsFolder, ERROR_DIRECTORY};
    return file.signature(signature);
}

ReadFile::ReadFile(const QString& path, Links links)
{
    if (isDeviceName(path)) {
        // Opening a device may wait on it (a serial port, the console).
        openError_ = {Failure::Other, ERROR_BAD_DEVICE};
        return;
    }
    // The name first (some file systems tell a reparse point only there),
    // the handle after: a link put there meanwhile is refused as well.
    if (links == Links::Refuse && entryKind(path) == EntryKind::Link) {
        openError_ = {Failure::IsLink, ERROR_CANT_ACCESS_FILE};
        return;
    }
    // Shared for reading, writing and deleting: the front office keeps its
    // databases open, and its saves must go on while the tool reads. A folder
    // opens too (backup semantics), so that it is told as a folder.
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS
        | (links == Links::Refuse ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    const HANDLE h =
        CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        openError_ = lastError();
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    if (links == Links::Refuse && kind() == EntryKind::Link) {
        CloseHandle(h);
        handle_ = kNoHandle;
        openError_ = {Failure::IsLink, ERROR_CANT_ACCESS_FILE};
    }
}

void detail::closeReadHandle(std::intptr_t handle)
{
    CloseHandle(handleOf(handle));
}

EntryKind ReadFile::kind() const
{
    if (!isOpen())
        return EntryKind::Missing;
    switch (GetFileType(handleOf(handle_))) {
    case FILE_TYPE_CHAR:
        return EntryKind::Device;
    case FILE_TYPE_PIPE:
        return EntryKind::Fifo;
    case FILE_TYPE_DISK:
        break;
    default:
        return EntryKind::Other;
    }
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(handleOf(handle_), FileBasicInfo, &basic, sizeof basic))
        return EntryKind::Other;
    return kindOfAttributes(basic.FileAttributes);
}

SystemError ReadFile::signature(FileSignature* signature) const
{
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandle(handleOf(handle_), &info)
        || !GetFileInformationByHandleEx(handleOf(handle_), FileBasicInfo, &basic, sizeof basic))
        return lastError();
    signature->volume = info.dwVolumeSerialNumber;
    signature->fileId = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    signature->size = (std::int64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    signature->modifiedNs = fileTimeNs(basic.LastWriteTime);
    signature->changedNs = fileTimeNs(basic.ChangeTime);
    return {};
}

std::int64_t ReadFile::readAt(std::int64_t offset, char* into, std::int64_t count, SystemError* error) const
{
    OVERLAPPED at{};
    at.Offset = DWORD(offset & 0xffffffff);
    at.OffsetHigh = DWORD(offset >> 32);
    DWORD got = 0;
    const DWORD wanted = DWORD(std::min<std::int64_t>(count, 1 << 30));
    if (!ReadFile::isOpen() || !::ReadFile(handleOf(handle_), into, wanted, &got, &at)) {
        if (GetLastError() == ERROR_HANDLE_EOF)
            return 0;
        *error = lastError();
        return -1;
    }
    return got;
}

int ReadFile::releaseDescriptor()
{
    const HANDLE h = handleOf(std::exchange(handle_, kNoHandle));
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (fd < 0)
        CloseHandle(h);
    return fd;
}

KeptAccess accessOf(const QString& path)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(wide(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                              nullptr, &descriptor)
        != ERROR_SUCCESS)
        return {};
    LPWSTR text = nullptr;
    KeptAccess access;
    if (ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                             &text, nullptr)) {
        access = {true, 0, QString::fromWCharArray(text)};
        LocalFree(text);
    }
    LocalFree(descriptor);
    return access;
}

NewFile::NewFile(const QString& path)
{
    if (isDeviceName(path)) {
        openError_ = {Failure::InvalidName, ERROR_INVALID_NAME};
        return;
    }
    const Descriptor ownerOnly(ownerOnlyDescriptor(false));
    SECURITY_ATTRIBUTES attributes = ownerOnly.attributes();
    // CREATE_NEW fails on anything standing at the name, a link included:
    // nothing is ever written through one.
    // WRITE_DAC: an existing file's access list is given to its replacement.
    const HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_WRITE | GENERIC_READ | WRITE_DAC, 0, &attributes,
                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        openError_ = lastError();
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
}

NewFile::~NewFile()
{
    if (isOpen())
        CloseHandle(handleOf(handle_));
}

SystemError NewFile::write(const char* bytes, std::int64_t count)
{
    while (count > 0) {
        DWORD written = 0;
        const DWORD piece = DWORD(std::min<std::int64_t>(count, 1 << 30));
        if (!WriteFile(handleOf(handle_), bytes, piece, &written, nullptr))
            return lastError();
        if (written == 0)
            return {Failure::InputOutput, ERROR_WRITE_FAULT};
        bytes += written;
        count -= written;
        position_ += written;
    }
    return {};
}

SystemError NewFile::truncate(std::int64_t size)
{
    LARGE_INTEGER at;
    at.QuadPart = size;
    if (!SetFilePointerEx(handleOf(handle_), at, nullptr, FILE_BEGIN) || !SetEndOfFile(handleOf(handle_)))
        return lastError();
    position_ = size;
    return {};
}

std::int64_t NewFile::copyFrom(int, std::int64_t, std::int64_t, SystemError*)
{
    // No copy between two open handles inside the system here.
    return 0;
}

SystemError NewFile::giveAccess(const KeptAccess& access)
{
    if (!access.kept || access.descriptor.isEmpty())
        return {};
    const Descriptor kept(access.descriptor);
    PACL list = nullptr;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (!kept.get() || !GetSecurityDescriptorDacl(kept.get(), &present, &list, &defaulted)
        || !GetSecurityDescriptorControl(kept.get(), &control, &revision))
        return lastError();
    const SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION
        | ((control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION);
    const DWORD done = SetSecurityInfo(handleOf(handle_), SE_FILE_OBJECT, what, nullptr, nullptr, list, nullptr);
    return done == ERROR_SUCCESS ? SystemError{} : errorOf(done);
}

SystemError NewFile::close()
{
    const HANDLE h = handleOf(std::exchange(handle_, kNoHandle));
    if (!CloseHandle(h))
        return lastError();
    return {};
}

SystemError replaceWith(const QString& from, const QString& to)
{
    if (!MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return lastError();
    return {};
}

SystemError renameToNew(const QString& from, const QString& to)
{
    if (!MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_WRITE_THROUGH))
        return lastError();
    return {};
}

bool removeEntry(const QString& path)
{
    const std::wstring name = wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        // A junction or a link to a folder goes; its folder is not touched.
        return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && RemoveDirectoryW(name.c_str());
    }
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(name.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    return DeleteFileW(name.c_str());
}

QString foreignOwner(const QString& path)
{
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(wide(path).c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                              nullptr, &descriptor)
        != ERROR_SUCCESS)
        return {};
    QString sid;
    LPWSTR text = nullptr;
    if (owner && ConvertSidToStringSidW(owner, &text)) {
        sid = QString::fromWCharArray(text);
        LocalFree(text);
    }
    QString shown;
    if (!sid.isEmpty() && sid != currentUserSid()) {
        wchar_t name[256];
        wchar_t domain[256];
        DWORD nameSize = 256;
        DWORD domainSize = 256;
        SID_NAME_USE use;
        shown = LookupAccountSidW(nullptr, owner, name, &nameSize, domain, &domainSize, &use)
            ? QString::fromWCharArray(domain) + QLatin1Char('\\') + QString::fromWCharArray(name)
            : sid;
    }
    LocalFree(descriptor);
    return shown;
}

int removeRegularFiles(const QString& folder, const QStringList& names)
{
    if (entryKind(folder) != EntryKind::Folder || !foreignOwner(folder).isEmpty())
        return 0;
    const QDir dir(folder);
    int removed = 0;
    for (const QString& name : names) {
        if (entryKind(dir.filePath(name)) == EntryKind::Regular && removeEntry(dir.filePath(name)))
            ++removed;
    }
    return removed;
}

QString makePrivateFolder(const QString& folder)
{
    switch (entryKind(folder)) {
    case EntryKind::Missing:
        break;
    case EntryKind::Folder:
        return {};
    case EntryKind::Link:
        return kindReason(EntryKind::Link);
    default:
        return QStringLiteral("non è una cartella");
    }
    const Descriptor ownerOnly(ownerOnlyDescriptor(true));
    SECURITY_ATTRIBUTES attributes = ownerOnly.attributes();
    if (!CreateDirectoryW(wide(folder).c_str(), &attributes))
        return reasonOf(lastError());
    return {};
}

QString ownerOnlyDescriptor(bool folder)
{
    const QString user = currentUserSid();
    if (user.isEmpty())
        return {};
    // Protected (P): nothing is inherited from the folder above, which on a
    // shared front-office folder grants the whole network. Full access (FA)
    // to the user and to the system alone; a folder passes it on to what is
    // created in it (OICI).
    const QString inherit = folder ? QStringLiteral("OICI") : QString();
    return QStringLiteral("D:P(A;%1;FA;;;%2)(A;%1;FA;;;SY)").arg(inherit, user);
}

FILE* streamOver(const char* bytes, std::size_t size)
{
    // The C runtime here cannot read memory as a stream: a temporary file
    // of this user's, gone when closed (or when the process ends), stands in.
    wchar_t folder[MAX_PATH + 1] = {};
    wchar_t name[MAX_PATH + 1] = {};
    if (!GetTempPathW(MAX_PATH + 1, folder) || !GetTempFileNameW(folder, L"ost", 0, name))
        return nullptr;
    const Descriptor ownerOnly(ownerOnlyDescriptor(false));
    SECURITY_ATTRIBUTES attributes = ownerOnly.attributes();
    const HANDLE h = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, &attributes, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DeleteFileW(name);
        return nullptr;
    }
    for (std::size_t done = 0; done < size;) {
        DWORD written = 0;
        const DWORD piece = DWORD(std::min<std::size_t>(size - done, 1 << 30));
        if (!WriteFile(h, bytes + done, piece, &written, nullptr) || written == 0) {
            CloseHandle(h);
            return nullptr;
        }
        done += written;
    }
    SetFilePointer(h, 0, nullptr, FILE_BEGIN);
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        return nullptr;
    }
    FILE* stream = _fdopen(fd, "rb");
    if (!stream)
        _close(fd);
    return stream;
}

std::intptr_t muteStandardError()
{
    std::fflush(stderr);
    const int saved = _dup(_fileno(stderr));
    const int sink = _open("NUL", _O_WRONLY);
    if (sink >= 0) {
        _dup2(sink, _fileno(stderr));
        _close(sink);
    }
    return saved;
}

void restoreStandardError(std::intptr_t saved)
{
    std::fflush(stderr);
    if (saved >= 0) {
        _dup2(int(saved), _fileno(stderr));
        _close(int(saved));
    }
}

void writeTerminal(Stream stream, const QString& text)
{
    FILE* out = stream == Stream::Output ? stdout : stderr;
    std::fflush(out);
    const HANDLE h = GetStdHandle(stream == Stream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (h != INVALID_HANDLE_VALUE && h != nullptr && GetConsoleMode(h, &mode)) {
        // A console shows the characters themselves, whatever its code page.
        QString shown = text;
        for (QChar& c : shown) {
            if ((c.unicode() < 0x20 && c != QLatin1Char('\n')) || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
                c = QLatin1Char(' ');
        }
        const std::wstring characters = shown.toStdWString();
        DWORD written = 0;
        WriteConsoleW(h, characters.c_str(), DWORD(characters.size()), &written, nullptr);
        return;
    }
    // A file or a pipe gets UTF-8 with the text's own line ends, as on Linux.
    _setmode(_fileno(out), _O_BINARY);
    const QByteArray bytes = detail::blankedForTerminal(text.toUtf8());
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), out);
    std::fflush(out);
}

bool startDetached(const QString& commandLine)
{
    std::wstring line = commandLine.trimmed().toStdWString();
    if (line.empty())
        return false;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    // The whole line, as the system's own command runner takes it.
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_PROCESS_GROUP, nullptr, nullptr,
                        &startup, &started))
        return false;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

QString programOf(const QString& commandLine)
{
    const QString line = commandLine.trimmed();
    if (line.startsWith(QLatin1Char('"')))
        return line.mid(1).section(QLatin1Char('"'), 0, 0);
    // An unquoted path with blanks reaches as far as its ".exe".
    const int exe = line.indexOf(QLatin1String(".exe"), 0, Qt::CaseInsensitive);
    if (exe > 0 && (exe + 4 == line.size() || line.at(exe + 4) == QLatin1Char(' ')))
        return line.left(exe + 4);
    return line.section(QLatin1Char(' '), 0, 0);
}

void treatFileSizeLimitAsError()
{
    // Windows has no such limit: a file too large fails its write.
}

QString defaultExportPath()
{
    return QStringLiteral("C:\\ZaverUdevu.txt");
}

QString defaultSendCommand()
{
    return QStringLiteral("C:\\Programmi\\Internet Explorer\\iexplore.exe https://...");
}

QString userSettingsFile(const QString& organisation, const QString& application)
{
    // A file, not the registry: written as every other file of the tool.
    return QSettings(QSettings::IniFormat, QSettings::UserScope, organisation, application).fileName();
}

QString textViewerCommand(const QString&)
{
    return QStringLiteral("notepad ListaPs.txt");
}

bool hasFolder(const QString& path)
{
    return path.contains(QLatin1Char('/')) || path.contains(QLatin1Char('\\'))
        || (path.size() >= 2 && path[1] == QLatin1Char(':'));
}

}  // namespace ostelvia::platform
