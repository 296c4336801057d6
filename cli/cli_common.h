// What every korvel-cli command shares: exit codes, the one-line error, the input and its loading.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "reader/drawing_store.h"
#include "reader/jclfunit.h"
#include "script/convert.h"

namespace korvel::cli {

// Exit codes; documented in the README and in --help.
enum Exit : int { kOk = 0, kRejected = 1, kUsage = 2, kReadFailed = 3, kOutputFailed = 4 };

// Prints "korvel-cli: MESSAGE" on standard error and returns `code`.
int Fail(int code, const std::string &message);

// FILE as given: a path read through a buffer, standard input held in memory, or a clipboard kept in a
// folder (one file per format name), whose "Jw_win" file is the drawing.
class Input {
public:
    explicit Input(std::string path) : path(std::move(path)) {}

    // False (with a message) when the input cannot be opened at all.
    bool Open(std::string &error);
    std::string Name() const { return path == "-" ? "standard input" : path; }
    bool Check() const;
    bool Read(DrawingStore &store, ReadReport &report) const;

private:
    bool OpenClipboardFolder(std::string &error);

    std::string path;
    std::optional<std::vector<std::uint8_t>> bytes;
};

// Header check and full read, with the messages and exit codes shared by the commands.
// Returns kOk, kRejected or kReadFailed; on kReadFailed the store holds the partial drawing.
int LoadDrawing(Input &input, DrawingStore &store);

// Writes the script through a buffer; false when any write or the flush fails.
bool WriteScript(const DrawingStore &store, const ConvertOptions &options, std::FILE *file);

}  // namespace korvel::cli
