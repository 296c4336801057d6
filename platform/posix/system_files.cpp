// Files on POSIX systems: names are bytes (UTF-8 in practice), modes come from the umask.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <string_view>

#include "files/file_path.h"
#include "files/system_files.h"
#include "files/user_language.h"

namespace korvel {

std::FILE *OpenFile(const std::string &utf8, const char *mode) { return std::fopen(utf8.c_str(), mode); }

bool IsRegularFile(std::FILE *file) {
    struct stat info;
    return fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::uint64_t> FileSizeOf(std::FILE *file) {
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || info.st_size < 0) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

std::optional<std::uint64_t> FilePosition(std::FILE *file) {
    const off_t at = ftello(file);
    return at < 0 ? std::nullopt : std::optional<std::uint64_t>(static_cast<std::uint64_t>(at));
}

bool SeekFile(std::FILE *file, std::uint64_t position) {
    return position <= static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) &&
           fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
}

bool OthersMayWrite(const std::filesystem::path &folder) {
    struct stat info;
    return stat(folder.c_str(), &info) == 0 && (info.st_mode & S_IWOTH) != 0;
}

std::optional<FileIdentity> IdentityOf(const std::filesystem::path &path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

namespace {

// The first of these variables that is set and not empty, as the C library reads a locale category.
std::string_view FirstSet(std::initializer_list<const char *> names) {
    for (const char *name : names)
        if (const char *value = std::getenv(name); value && *value) return value;
    return {};
}

// Whether a locale's name ("ja_JP.UTF-8", "ja_JP.eucJP@euro", "ja_JP") names UTF-8; a name without a codeset
// is taken as UTF-8, as today's systems set them.
bool NamesUtf8(std::string_view locale) {
    const std::size_t dot = locale.find('.');
    if (dot == std::string_view::npos) return true;
    std::string codeset;
    for (const char c : locale.substr(
             dot + 1, locale.find('@') == std::string_view::npos ? std::string_view::npos : locale.find('@') - dot - 1))
        if (c != '-' && c != '_') codeset += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return codeset == "utf8";
}

}  // namespace

bool UserLanguageIsJapanese() {
    const std::string_view messages = FirstSet({"LC_ALL", "LC_MESSAGES", "LANG"});
    // The C locale shows the program's own words, whatever LANGUAGE says, as gettext does.
    if (messages.empty() || messages == "C" || messages == "POSIX" || messages.starts_with("C.")) return false;
    // LANGUAGE, a list of languages, comes before the locale's: its first language that has words of ours
    // (Japanese, or English, the program's own) decides; others are passed over.
    bool japanese = messages.starts_with("ja");
    if (const std::string_view list = FirstSet({"LANGUAGE"}); !list.empty()) {
        japanese = false;
        for (std::size_t at = 0; at <= list.size();) {
            const std::size_t end = std::min(list.find(':', at), list.size());
            const std::string_view language = list.substr(at, end - at);
            if (language.starts_with("ja") || language.starts_with("en")) {
                japanese = language.starts_with("ja");
                break;
            }
            at = end + 1;
        }
    }
    // Japanese goes out as UTF-8: a terminal that expects other bytes (EUC-JP, Shift-JIS) gets English rather
    // than garbled text.
    return japanese && NamesUtf8(FirstSet({"LC_ALL", "LC_CTYPE", "LANG"}));
}

bool IsTerminal(std::FILE *stream) { return isatty(fileno(stream)) != 0; }

std::FILE *CreateExclusiveFile(const std::filesystem::path &path) {
    const int fd = open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    std::FILE *file = fdopen(fd, "wb");
    if (!file) close(fd);
    return file;
}

void RemoveFileFromSignalHandler(const char *path) { unlink(path); }

std::filesystem::perms NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<std::filesystem::perms>(0666 & ~mask);
}

bool WriteRefused(const std::filesystem::path &path) { return access(path.c_str(), W_OK) != 0 && errno == EACCES; }

int SyncToDisk(std::FILE *file) { return fsync(fileno(file)) == 0 ? 0 : errno; }

std::span<const int> TerminatingSignals() {
    // Ctrl+C, kill, a closed terminal (HUP), Ctrl+\ (QUIT), a reader gone (PIPE), the user-defined and
    // timer ones.
    static const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGUSR1, SIGUSR2, SIGALRM};
    return kSignals;
}

}  // namespace korvel
