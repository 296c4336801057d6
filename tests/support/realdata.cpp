// Locates the real clipboard streams kept beside the project, when they are there.
#include "tests/support/realdata.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace korvel::test {

std::optional<std::filesystem::path> RealDataDir() {
    const char *env = std::getenv("KORVEL_REALDATA");
    const std::filesystem::path dir = env && *env ? env : KORVEL_REALDATA_DIR;
    if (!std::filesystem::is_directory(dir)) return std::nullopt;
    return dir;
}

std::vector<RealStream> RealStreams() {
    std::vector<RealStream> streams;
    const auto dir = RealDataDir();
    if (!dir) return streams;
    const std::string suffix = ".expected.json";
    for (const auto &entry : std::filesystem::directory_iterator(*dir)) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= suffix.size() || !name.ends_with(suffix)) continue;
        const std::string stem = name.substr(0, name.size() - suffix.size());
        const std::string stream = stem.ends_with(".jwcad711") ? stem + ".prev1" : stem + ".jwwin";
        if (!std::filesystem::exists(*dir / stream)) continue;
        // A Jw_cad 8 stream, with its strings in Unicode, reads as its twin re-encoded in Shift-JIS.
        const std::filesystem::path twin = *dir / (stem + ".sjis.expected.json");
        streams.push_back({*dir / stream, std::filesystem::exists(twin) ? twin : entry.path()});
    }
    std::sort(streams.begin(), streams.end(), [](auto &a, auto &b) { return a.stream < b.stream; });
    return streams;
}

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadFileText(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::filesystem::path &path, const std::vector<std::uint8_t> &bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()), bytes.size());
}

}  // namespace korvel::test
