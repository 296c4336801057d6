// Where the window keeps its scratch and script files.
#pragma once

#include <string>

namespace korvel {

// A folder as text ending in a separator; "" is the current folder.
std::string FolderWithSeparator(const std::string &folder);

// The folder of the executable, with its trailing separator.
std::string ExecutableFolder(const std::string &executablePath);

// True when a file can be created in `folder` (tried, then removed).
bool FolderIsWritable(const std::string &folder);

// Whether a folder belongs to the system's installed programs (/usr, /opt and the like), where a program
// must leave no files of its own even when it could (run as root): a package removal would leave them.
bool IsSystemFolder(const std::string &folder);
// The same, or any folder a program is installed in: a prefix's bin/ (~/.local/bin/, say), or a folder
// others may write in.
bool IsInstallFolder(const std::string &folder);

// The executable's folder when it can be written and is not an install folder; otherwise (an installed
// program) `userDataFolder`, created if need be. Ends with a separator.
std::string ChooseProgramFolder(const std::string &executablePath, const std::string &userDataFolder);

}  // namespace korvel
