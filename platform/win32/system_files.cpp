// Files on Windows: names are UTF-16 (Korvel's UTF-8 names converted), the C runtime's descriptors.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>

#include "files/file_path.h"
#include "files/system_files.h"
#include "files/user_language.h"

namespace korvel {

std::FILE *OpenFile(const std::string &utf8, const char *mode) {
    // Narrow names would be read in the ANSI code page.
    const std::wstring wideMode(mode, mode + std::strlen(mode));
    return _wfopen(FilePath(utf8).c_str(), wideMode.c_str());
}

bool IsRegularFile(std::FILE *file) {
    struct _stat64 info;
    return _fstat64(_fileno(file), &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG;
}

std::optional<std::uint64_t> FileSizeOf(std::FILE *file) {
    struct _stat64 info;
    if (_fstat64(_fileno(file), &info) != 0 || info.st_size < 0) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

std::optional<std::uint64_t> FilePosition(std::FILE *file) {
    const __int64 at = _ftelli64(file);
    return at < 0 ? std::nullopt : std::optional<std::uint64_t>(static_cast<std::uint64_t>(at));
}

bool SeekFile(std::FILE *file, std::uint64_t position) {
    return position <= static_cast<std::uint64_t>(INT64_MAX) &&
           _fseeki64(file, static_cast<__int64>(position), SEEK_SET) == 0;
}

bool OthersMayWrite(const std::filesystem::path &) { return false; }

std::optional<FileIdentity> IdentityOf(const std::filesystem::path &path) {
    // Opened for no access at all: folders and files in use by others can still be looked at.
    const HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    if (!known) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

bool UserLanguageIsJapanese() { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE; }

bool IsTerminal(std::FILE *stream) { return _isatty(_fileno(stream)) != 0; }

std::FILE *CreateExclusiveFile(const std::filesystem::path &path) {
    const int fd = _wopen(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE *file = _fdopen(fd, "wb");
    if (!file) _close(fd);
    return file;
}

void RemoveFileFromSignalHandler(const char *path) { _unlink(path); }

std::filesystem::perms NewFileMode() {
    return std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
}

// Windows has no mode bits beyond read-only, which the caller has looked at already.
bool WriteRefused(const std::filesystem::path &) { return false; }

// The C runtime's buffers are flushed by then; the system writes the file's bytes itself.
int SyncToDisk(std::FILE *) { return 0; }

std::span<const int> TerminatingSignals() {
    // Ctrl+C, Ctrl+Break (and a closed console window), and termination.
    static const int kSignals[] = {SIGINT, SIGBREAK, SIGTERM};
    return kSignals;
}

}  // namespace korvel
