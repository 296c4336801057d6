// The inputs of a conversion as the user names them: files, folders and patterns.
#include "shell/input_list.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "files/file_path.h"
#include "geom/utf8.h"
#include "shell/capture.h"

namespace korvel {

namespace fs = std::filesystem;

namespace {

// The bytes of the UTF-8 character at `at` (1 for a byte that starts none).
std::size_t CharacterBytes(const std::string &text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t bytes = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return std::min(bytes, text.size() - at);
}

bool HasWildcard(const std::string &text) { return text.find_first_of("*?") != std::string::npos; }

bool IsDrawingFile(const fs::path &path) {
    const std::string extension = CaseFolded(Utf8Of(path.extension()));
    return extension == ".jww" || extension == ".jws";
}

// A folder's entries of the kind asked for, by name: files (a link to a file among them), or the folders
// that are folders themselves, not links to one.
std::vector<fs::path> SortedEntries(const fs::path &folder, bool folders) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder, ec))
        if (folders ? entry.is_directory(ec) && !entry.is_symlink(ec) : entry.is_regular_file(ec))
            found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    return found;
}

// A path found by walking or matching, never read as standard input.
std::string FoundPath(const fs::path &path) {
    const std::string text = Utf8Of(path);
    return text == "-" ? Utf8Of(fs::path(".") / path) : text;
}

// Folders already walked, by what they are (a bind mount or a hard-linked folder may show one twice).
using Walked = std::set<fs::path>;

void AddDrawingsIn(const fs::path &folder, const fs::path &subfolder, bool recursive, Walked &walked,
                   std::vector<ListedInput> &inputs) {
    std::error_code ec;
    const fs::path real = fs::canonical(folder, ec);
    if (!ec) {
        if (!walked.insert(real).second) return;
    }
    for (const fs::path &file : SortedEntries(folder, false))
        if (IsDrawingFile(file)) inputs.push_back({FoundPath(file), Utf8Of(subfolder), {}});
    if (!recursive) return;
    for (const fs::path &inner : SortedEntries(folder, true))
        AddDrawingsIn(inner, subfolder / inner.filename(), true, walked, inputs);
}

}  // namespace

fs::path ClipboardFolderStream(const std::string &folder) {
    const fs::path jwWin = FilePath(folder) / kFormatNames[1], captured = FilePath(folder) / "prev.1";
    std::error_code ec;
    return !fs::is_regular_file(jwWin, ec) && fs::is_regular_file(captured, ec) ? captured : jwWin;
}

bool IsClipboardFolder(const std::string &folder) {
    std::error_code ec;
    return fs::is_regular_file(ClipboardFolderStream(folder), ec);
}

std::string OutputNameFor(const std::string &input, std::string_view extension) {
    fs::path path = FilePath(input);
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        path = fs::absolute(path, ec).lexically_normal();
        if (!path.has_filename()) path = path.parent_path();
        return Utf8Of(path.filename()) + std::string(extension);
    }
    return Utf8Of(path.stem()) + std::string(extension);
}

std::string NameByPath(const std::string &path, std::string_view extension) {
    std::string name;
    for (const fs::path &part : FilePath(path).lexically_normal().relative_path()) {
        if (part.empty() || part == ".") continue;
        if (!name.empty()) name += '_';
        name += Utf8Of(part);
    }
    return (name.empty() ? "korvel" : name) + std::string(extension);
}

std::vector<std::optional<std::size_t>> EarlierSameOutputs(const std::vector<std::string> &outputs) {
    std::vector<std::optional<std::size_t>> earlier(outputs.size());
    std::map<std::string, std::size_t> first;
    for (std::size_t i = 0; i < outputs.size(); ++i)
        if (const auto [at, added] = first.emplace(CaseFolded(outputs[i]), i); !added) earlier[i] = at->second;
    return earlier;
}

std::optional<std::pair<std::size_t, std::size_t>> FirstCollision(const std::vector<std::string> &outputs) {
    const std::vector<std::optional<std::size_t>> earlier = EarlierSameOutputs(outputs);
    for (std::size_t i = 0; i < earlier.size(); ++i)
        if (earlier[i]) return std::pair{*earlier[i], i};
    return std::nullopt;
}

bool MatchesPattern(const std::string &name, const std::string &pattern) {
    const std::string n = CaseFolded(name), p = CaseFolded(pattern);
    // Greedy matching with one step back to the last *: linear in practice, never exponential.
    std::size_t i = 0, j = 0, starAt = std::string::npos, resumeAt = 0;
    while (i < n.size()) {
        if (j < p.size() && p[j] == '*') {
            starAt = j++;
            resumeAt = i;
        } else if (j < p.size() && p[j] == '?') {
            i += CharacterBytes(n, i);
            j++;
        } else if (j < p.size() && p.compare(j, CharacterBytes(p, j), n, i, CharacterBytes(n, i)) == 0) {
            const std::size_t bytes = CharacterBytes(n, i);
            i += bytes;
            j += bytes;
        } else if (starAt != std::string::npos) {
            j = starAt + 1;
            resumeAt += CharacterBytes(n, resumeAt);
            i = resumeAt;
        } else {
            return false;
        }
    }
    while (j < p.size() && p[j] == '*')
        j++;
    return j == p.size();
}

std::optional<UnlistedInput> ListInputs(const std::vector<std::string> &arguments, bool recursive,
                                        std::vector<ListedInput> &inputs) {
    for (const std::string &argument : arguments) {
        const fs::path path = FilePath(argument);
        std::error_code ec;
        if (argument != "-" && fs::is_directory(path, ec) && !IsClipboardFolder(argument)) {
            const std::size_t before = inputs.size();
            Walked walked;
            AddDrawingsIn(path, {}, recursive, walked, inputs);
            if (inputs.size() == before) return UnlistedInput{argument, UnlistedInput::Why::NoDrawingInFolder};
            continue;
        }
        if (argument == "-" || fs::exists(path, ec) || !HasWildcard(Utf8Of(path.filename())) ||
            HasWildcard(Utf8Of(path.parent_path()))) {
            inputs.push_back({argument, {}, {}});
            continue;
        }
        const std::size_t before = inputs.size();
        const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
        const std::string pattern = Utf8Of(path.filename());
        for (const fs::path &file : SortedEntries(folder, false))
            if (MatchesPattern(Utf8Of(file.filename()), pattern))
                inputs.push_back(
                    {FoundPath(path.has_parent_path() ? folder / file.filename() : file.filename()), {}, {}});
        if (inputs.size() == before) return UnlistedInput{argument, UnlistedInput::Why::NoMatch};
    }
    return std::nullopt;
}

InputFiles::InputFiles(const std::vector<std::string> &inputs) {
    for (const std::string &input : inputs) {
        if (input == "-") continue;
        const fs::path path = FilePath(input);
        std::error_code ec;
        if (const std::optional<FileIdentity> identity =
                IdentityOf(fs::is_directory(path, ec) ? ClipboardFolderStream(input) : path))
            byIdentity.emplace(*identity, input);
    }
}

std::optional<std::string> InputFiles::WrittenOverBy(const std::string &output) const {
    if (output.empty() || output == "-") return std::nullopt;
    const std::optional<FileIdentity> identity = IdentityOf(FilePath(output));
    if (!identity) return std::nullopt;
    const auto found = byIdentity.find(*identity);
    return found == byIdentity.end() ? std::nullopt : std::optional<std::string>(found->second);
}

std::optional<std::string> OutputOverInput(const std::string &output, const std::vector<std::string> &inputs) {
    return InputFiles(inputs).WrittenOverBy(output);
}

}  // namespace korvel
