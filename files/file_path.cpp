#include "files/file_path.h"

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

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string &utf8) {
    std::ifstream file(FilePath(utf8), std::ios::binary);
    if (!file) return std::nullopt;
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) return std::nullopt;
    return bytes;
}

}  // namespace korvel
