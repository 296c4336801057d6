// What every korvel-cli command shares: exit codes, the one-line error, the input and its loading.
#pragma once

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/translate.h"
#include "files/failure.h"
#include "files/file_path.h"
#include "files/system_files.h"
#include "reader/drawing_store.h"
#include "reader/jclfunit.h"
#include "reader/jww_file.h"
#include "script/convert.h"

namespace korvel::cli {

// Exit codes; documented in the README and in --help.
enum Exit : int { kOk = 0, kRejected = 1, kUsage = 2, kReadFailed = 3, kOutputFailed = 4, kOutOfMemory = 5 };

// While one lives, this thread's messages (those of Fail) collect in `text` instead of going to standard
// error: conversions run side by side print each input's messages in the inputs' order.
class MessageCapture {
public:
    explicit MessageCapture(std::string &text);
    ~MessageCapture();
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

private:
    std::string *previous;
};

// Prints "korvel-cli: MESSAGE" on standard error, control characters escaped, and returns `code`.
int Fail(int code, const std::string &message);
// Prints a line on standard error (or into the thread's capture), control characters escaped.
void Tell(const std::string &line);
// "INPUT: lines 12 converted; left out: texts 3" unless `quiet`, and a warning whenever a drawing with
// entities gave a script with no command, quiet or not.
void TellConversion(const std::string &input, const ConversionReport &report, bool quiet);

// Runs `take`, which reads the clipboard, and says why it could not: the one wording of a clipboard's
// failures for capture and watch. Once `stop` is set, a transfer cut short is said to be stopped.
Failure TakeClipboard(const std::function<void()> &take, const volatile std::sig_atomic_t *stop = nullptr);

// Inputs that are not regular files are held in memory up to this many bytes unless told otherwise.
inline constexpr std::uint64_t kDefaultInputLimit = std::uint64_t{2} << 30;

// FILE as given, opened once: a regular file read through a buffer (whatever its size); standard input
// ("-"), a pipe, a FIFO or a device read into memory up to a limit; or a clipboard kept in a folder (one
// file per format name), whose "Jw_win" file is the drawing. Its first bytes tell a Jw_win stream from a
// .jww or .jws drawing file.
class Input {
public:
    Input(std::string path, std::uint64_t limit, DrawingFileOptions fileOptions = {})
        : path(std::move(path)), limit(limit), fileOptions(fileOptions) {}

    // What opening takes of an input that is not a regular file: all of it, or only what the header check
    // needs.
    enum class Taking { Everything, CheckedPrefix };
    // Opens the input; the one-line reason it cannot be read (exit code kRejected), or nothing.
    std::optional<std::string> Open(Taking taking = Taking::Everything);
    std::string Name() const { return path == "-" ? "standard input" : path; }
    const std::string &Path() const { return path; }
    bool Check() const;
    bool Read(DrawingStore &store, ReadReport &report) const;
    // Counts a Jw_win stream's records without keeping them; a drawing file is read into a store.
    bool Read(DrawingSummary &summary, ReadReport &report) const;
    // Keeps only the kinds a script is made of, of a Jw_win stream.
    bool Read(ScriptDrawing &drawing, ReadReport &report) const;
    bool IsDrawingFile() const { return kind != InputKind::Stream; }

private:
    std::optional<std::string> ReadAll(std::FILE *from, Taking taking);
    std::optional<std::string> OpenFileAt(const std::filesystem::path &at, Taking taking);

    std::string path;
    std::uint64_t limit;
    DrawingFileOptions fileOptions;
    std::optional<std::vector<std::uint8_t>> bytes;  // everything but regular files
    UniqueFile file;                                 // a regular file
    std::uint64_t fileSize = 0;
    InputKind kind = InputKind::Stream;  // by the first bytes
};

// Header check and full read, with the messages and exit codes shared by the commands.
// Returns kOk, kRejected, kReadFailed or kOutOfMemory; on kReadFailed the store holds the partial drawing.
int LoadDrawing(Input &input, DrawingStore &store);
// The same for an input already opened; a summary counts a stream's records without keeping them.
int LoadOpenedDrawing(Input &input, DrawingStore &store);
int LoadOpenedDrawing(Input &input, DrawingSummary &summary);
int LoadOpenedDrawing(Input &input, ScriptDrawing &drawing);

// The pen colour table, filled once.
const PenColorTable &Pens();

// Whether two outputs would write one file: the same regular file now, or one path once links and dots are
// resolved, letters compared as Windows compares them. "-" and empty paths name none; a device or pipe takes both.
bool NameOneFile(const std::string &a, const std::string &b);

// Flushes standard output: `code`, or kOutputFailed (with the message) when anything written to it failed.
int FinishStandardOutput(int code);

}  // namespace korvel::cli
