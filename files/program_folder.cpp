#include "files/program_folder.h"
#include "files/file_path.h"
#include "files/system_files.h"

#include <chrono>
#include <filesystem>
#include <fstream>

namespace korvel {

namespace fs = std::filesystem;

std::string FolderWithSeparator(const std::string &folder) {
    const char separator = static_cast<char>(fs::path::preferred_separator);
    if (folder.empty()) return {'.', separator};
    if (folder.back() == separator || folder.back() == '/') return folder;
    return folder + separator;
}

std::string ExecutableFolder(const std::string &executablePath) {
    return FolderWithSeparator(Utf8Of(FilePath(executablePath).parent_path()));
}

bool FolderIsWritable(const std::string &folder) {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path probe = FilePath(folder) / (".korvel-probe-" + std::to_string(stamp));
    bool created = false;
    {
        std::ofstream file(probe, std::ios::binary | std::ios::trunc);
        created = file.good();
    }
    std::error_code ignored;
    if (created) fs::remove(probe, ignored);
    return created;
}

bool IsSystemFolder(const std::string &folder) {
    for (const char *prefix : {"/usr/", "/opt/", "/bin/", "/sbin/", "/lib/", "/snap/"})
        if (folder.starts_with(prefix)) return true;
    return false;
}

bool IsInstallFolder(const std::string &folder) {
    if (IsSystemFolder(folder)) return true;
    // A prefix's bin/ (cmake --install --prefix ~/.local puts the program in ~/.local/bin/), or a folder
    // others may write in (shared): neither is the program's own folder.
    const fs::path path = FilePath(folder);
    if ((path.has_filename() ? path.filename() : path.parent_path().filename()) == "bin") return true;
    return OthersMayWrite(path);
}

std::string ChooseProgramFolder(const std::string &executablePath, const std::string &userDataFolder) {
    const std::string executableFolder = ExecutableFolder(executablePath);
    const bool installed = IsInstallFolder(executableFolder) || !FolderIsWritable(executableFolder);
    if (userDataFolder.empty() || !installed) return executableFolder;
    std::error_code ignored;
    fs::create_directories(FilePath(userDataFolder), ignored);
    return FolderWithSeparator(userDataFolder);
}

}  // namespace korvel
