#include "reader/file_path.h"

#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace korvel {

std::filesystem::path FilePath(const std::string &utf8) {
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t *>(utf8.data()), utf8.size()));
}

std::string Utf8Of(const std::filesystem::path &path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char *>(text.data()), text.size());
}

std::FILE *OpenFile(const std::string &utf8, const char *mode) {
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::strlen(mode));
    return _wfopen(FilePath(utf8).c_str(), wideMode.c_str());
#else
    return std::fopen(utf8.c_str(), mode);
#endif
}

bool IsRegularFile(std::FILE *file) {
#ifdef _WIN32
    struct _stat64 info;
    return _fstat64(_fileno(file), &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG;
#else
    struct stat info;
    return fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
#endif
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string &utf8) {
    std::ifstream file(FilePath(utf8), std::ios::binary);
    if (!file) return std::nullopt;
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) return std::nullopt;
    return bytes;
}

}  // namespace korvel
