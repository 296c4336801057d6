// Locates the real clipboard streams kept beside the project, when they are there.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace korvel::test {

// The folder of real data (KORVEL_REALDATA overrides), or nothing when it is absent.
std::optional<std::filesystem::path> RealDataDir();

// Every stream that has an expectation file: "NAME.jwwin" or "NAME.jwcad711.prev1".
struct RealStream {
    std::filesystem::path stream;
    std::filesystem::path expected;
};
std::vector<RealStream> RealStreams();

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path &path);
std::string ReadFileText(const std::filesystem::path &path);
void WriteFileBytes(const std::filesystem::path &path, const std::vector<std::uint8_t> &bytes);

}  // namespace korvel::test
