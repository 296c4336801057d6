// Writing a command's output so that a failed run never leaves a partial file in place of a good one.
#include "cli/output_file.h"
#include "reader/file_path.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace korvel::cli {

bool WriteOutputFile(const std::string &path, const std::function<bool(std::FILE *)> &write, std::string &error) {
    if (path == "-") {
        if (write(stdout) && std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
        error = "standard output: write failed";
        return false;
    }
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(FilePath(path), ec);
    const bool replace = !std::filesystem::exists(status) || std::filesystem::is_regular_file(status);
    const std::string target = replace ? path + ".korvel-tmp" : path;
    std::FILE *file = OpenFile(target, "wb");
    if (!file) {
        error = path + ": cannot be created: " + std::strerror(errno);
        return false;
    }
    const bool written = write(file) && std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    if (written && closed && replace) std::filesystem::rename(FilePath(target), FilePath(path), ec);
    if (written && closed && !ec) return true;
    if (replace) std::filesystem::remove(FilePath(target), ec);
    error = path + ": write failed";
    return false;
}

}  // namespace korvel::cli
