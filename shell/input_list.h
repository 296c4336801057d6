// The inputs of a conversion as the user names them: files, clipboard folders, folders of drawings (and
// their subfolders with -r), and patterns with * and ?, which Windows' shells leave to the program.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/system_files.h"
#include "geom/utf8.h"

namespace korvel {

// One input, and the subfolder of the output folder its script goes to (a drawing found in a subfolder of a
// folder named as input goes to the same subfolder; empty otherwise).
struct ListedInput {
    std::string path;
    std::string subfolder;
    std::string scriptName;  // NAME.vnt when not named by OutputNameFor (see NameByPath)
};

// NAME plus `extension` for an input's output: the file's stem, or a clipboard folder's own name (given as
// "clip/" or ".").
std::string OutputNameFor(const std::string &input, std::string_view extension);

// The same made of the whole path as given, folders and extension included ("dA/plan.jww" becomes
// "dA_plan.jww.vnt"): for inputs whose stems alone would collide (plan.jww and PLAN.jww in two folders, or
// plan.jww beside plan.jws).
std::string NameByPath(const std::string &path, std::string_view extension);

// For each output, an earlier one that would be the same file, by its index: the same name, or names that
// differ only in case, which are one file on Windows and on many shared folders.
std::vector<std::optional<std::size_t>> EarlierSameOutputs(const std::vector<std::string> &outputs);
// The first two outputs that would be one file, by their indices.
std::optional<std::pair<std::size_t, std::size_t>> FirstCollision(const std::vector<std::string> &outputs);

// The stream a clipboard kept in a folder holds: its "Jw_win" file, or a capture's "prev.1".
std::filesystem::path ClipboardFolderStream(const std::string &folder);
// Whether a folder is such a clipboard, as opposed to a folder of drawings.
bool IsClipboardFolder(const std::string &folder);

// The files the inputs read (a clipboard folder's stream for the folder), each looked at once, for checking
// outputs against them: an output is never written over one of its inputs.
class InputFiles {
public:
    explicit InputFiles(const std::vector<std::string> &inputs);
    // The input that `output` would write over (through a link or another name for the same file), if any.
    std::optional<std::string> WrittenOverBy(const std::string &output) const;

private:
    std::map<FileIdentity, std::string> byIdentity;  // the first input of each file
};

// The same for one output.
std::optional<std::string> OutputOverInput(const std::string &output, const std::vector<std::string> &inputs);

// Whether `name` matches `pattern`, where * stands for any characters and ? for one, letters compared as
// Windows compares file names (see CaseFolded). UTF-8.
bool MatchesPattern(const std::string &name, const std::string &pattern);

// An argument that stands for no input: a folder without drawings (and not a clipboard folder), or a pattern
// that matches nothing.
struct UnlistedInput {
    std::string argument;
    enum class Why { NoDrawingInFolder, NoMatch } why;
};

// Expands the arguments into the inputs in order: a folder of drawings into its .jww and .jws files by name
// (its subfolders' too when `recursive`, as find walks them: a link to a folder met on the way is not
// followed, and no folder is walked twice), a pattern in its last part into the files it matches by name. A
// file found so is always a file, even one named "-". The first argument that stands for none, if any.
std::optional<UnlistedInput> ListInputs(const std::vector<std::string> &arguments, bool recursive,
                                        std::vector<ListedInput> &inputs);

}  // namespace korvel
