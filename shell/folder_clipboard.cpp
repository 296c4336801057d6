#include "shell/folder_clipboard.h"
#include "files/file_path.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace korvel {

namespace fs = std::filesystem;

int FolderClipboard::FormatCount() {
    std::error_code ec;
    int count = 0;
    for (const fs::directory_entry &entry : fs::directory_iterator(FilePath(folder), ec))
        if (entry.is_regular_file(ec)) ++count;
    return count;
}

std::uint32_t FolderClipboard::Register(const std::string &name) {
    // A name must be one plain file name inside the folder.
    if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\") != std::string::npos) return 0;
    const auto found = std::find(names.begin(), names.end(), name);
    if (found != names.end()) return kFirstFormat + static_cast<std::uint32_t>(found - names.begin());
    names.push_back(name);
    return kFirstFormat + static_cast<std::uint32_t>(names.size() - 1);
}

std::string FolderClipboard::PathOf(std::uint32_t format) const {
    if (format < kFirstFormat || format - kFirstFormat >= names.size()) return {};
    return Utf8Of(FilePath(folder) / FilePath(names[format - kFirstFormat]));
}

std::optional<std::uint64_t> FolderClipboard::BlockSize(std::uint32_t format) {
    const std::string path = PathOf(format);
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(FilePath(path), ec)) return std::nullopt;
    const std::uintmax_t size = fs::file_size(FilePath(path), ec);
    if (ec) return std::nullopt;
    return size;
}

bool FolderClipboard::ReadBlock(std::uint32_t format, const BlockReader &read) {
    const std::string path = PathOf(format);
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(FilePath(path), ec)) return false;
    const std::optional<std::vector<std::uint8_t>> block = ReadWholeFile(path);
    if (block) read(*block);
    return block.has_value();
}

}  // namespace korvel
