// What every korvel-cli command shares: exit codes, the one-line error, the input and its loading.
#include "cli/cli_common.h"
#include "reader/file_path.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <filesystem>

#include "reader/jclfunit.h"
#include "shell/folder_clipboard.h"

namespace korvel::cli {

int Fail(int code, const std::string &message) {
    std::fprintf(stderr, "korvel-cli: %s\n", message.c_str());
    return code;
}

bool Input::Open(std::string &error) {
    if (path == "-") {
        std::vector<std::uint8_t> data;
        std::uint8_t chunk[1 << 16];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, stdin)) > 0)
            data.insert(data.end(), chunk, chunk + got);
        if (std::ferror(stdin)) {
            error = "standard input: cannot be read";
            return false;
        }
        bytes = std::move(data);
        return true;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(FilePath(path), ec)) return OpenClipboardFolder(error);
    std::FILE *f = OpenFile(path, "rb");
    if (!f) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::fclose(f);
    return true;
}

bool Input::OpenClipboardFolder(std::string &error) {
    FolderClipboard clipboard(path);
    const std::uint32_t format = clipboard.Register("Jw_win");
    const bool present = clipboard.ReadBlock(
        format, [&](std::span<const std::uint8_t> block) { bytes.emplace(block.begin(), block.end()); });
    if (!present) error = path + ": a clipboard folder without a \"Jw_win\" file";
    return present;
}

bool Input::Check() const { return bytes ? CheckClipBytes(*bytes) : CheckClipFile(path); }

bool Input::Read(DrawingStore &store, ReadReport &report) const {
    return bytes ? ReadClipBytes(*bytes, store, &report) : ReadClipFile(path, store, &report);
}

int LoadDrawing(Input &input, DrawingStore &store) {
    std::string error;
    if (!input.Open(error)) return Fail(kRejected, error);
    if (!input.Check()) return Fail(kRejected, input.Name() + ": not a Jw_win drawing stream");
    ReadReport report;
    if (!input.Read(store, report))
        return Fail(kReadFailed, input.Name() + ": read failed at byte offset " + std::to_string(report.endOffset) +
                                     ": " + report.failure);
    return kOk;
}

bool WriteScript(const DrawingStore &store, const ConvertOptions &options, std::FILE *file) {
    PenColorTable pens;
    FillPenColorTable(pens);
    FileScriptSink sink(file);
    return ConvertDrawing(store, options, pens, sink) && sink.Finish();
}

}  // namespace korvel::cli
