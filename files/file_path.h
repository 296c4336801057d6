// File names are UTF-8 text throughout Korvel; these open and name files from it on every platform
// (Windows takes narrow names in its ANSI code page otherwise).
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvel {

std::filesystem::path FilePath(const std::string &utf8);
std::string Utf8Of(const std::filesystem::path &path);
// An open file closed when it goes.
struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file by its UTF-8 name (one implementation per platform, beside those of system_files.h).
std::FILE *OpenFile(const std::string &utf8, const char *mode);
// Whether an open file is a regular file (not a device, pipe or FIFO).
bool IsRegularFile(std::FILE *file);
// The whole file's bytes; nothing when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string &utf8);

}  // namespace korvel
