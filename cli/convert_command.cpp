// korvel-cli convert and export: the Vantra script, exactly as the window's convert button writes it, or the
// drawing as DXF or SVG; one input or a batch of them.
#include "cli/commands.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <functional>
#include <mutex>
#include <new>
#include <thread>

#include "cli/json_out.h"
#include "files/file_path.h"
#include "files/output_file.h"
#include "geom/cp932.h"
#include "geom/utf8.h"
#include "shell/input_list.h"

namespace korvel::cli {

namespace fs = std::filesystem;

namespace {

// The script shown on a terminal: Shift-JIS and CR LF would come out garbled there.
template <class Drawing>
bool ShowReadable(const Drawing &store, const ConvertOptions &options, ConversionReport &report) {
    std::FILE *scratch = std::tmpfile();
    if (!scratch) return false;
    bool ok = WriteScriptFile(scratch, store, options, Pens(), &report) && std::fseek(scratch, 0, SEEK_SET) == 0;
    std::string script;
    char chunk[1 << 16];
    for (std::size_t got; ok && (got = std::fread(chunk, 1, sizeof chunk, scratch)) > 0;)
        script.append(chunk, got);
    std::fclose(scratch);
    std::string text = Cp932ToUtf8(script);
    std::erase(text, '\r');
    return ok && std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

bool EndsWithSeparator(const std::string &path) {
    return !path.empty() && (path.back() == '/' || path.back() == static_cast<char>(fs::path::preferred_separator));
}

}  // namespace

bool NamesAFolder(const std::string &output) {
    std::error_code ec;
    return output != "-" && (EndsWithSeparator(output) || fs::is_directory(FilePath(output), ec));
}

namespace {

// The output (standard output when none is named) written through the safe writer.
int WriteOutput(const std::string &output, const std::function<bool(std::FILE *)> &write,
                const OutputOptions &outputOptions) {
    if (const Failure failed = WriteOutputFile(output.empty() ? "-" : output, write, outputOptions))
        return Fail(kOutputFailed, Tr("not written: {0}", {*failed}));
    return kOk;
}

template <class Drawing>
int ConvertOpened(Input &input, const ConvertOptions &options, const std::string &output,
                  const OutputOptions &outputOptions, ConversionReport &report) {
    Drawing store;
    const int loaded = LoadOpenedDrawing(input, store);
    if (loaded != kOk) return loaded;
    if ((output.empty() || output == "-") && IsTerminal(stdout))
        return ShowReadable(store, options, report) ? FinishStandardOutput(kOk)
                                                    : Fail(kOutputFailed, Tr("standard output: write failed"));
    return WriteOutput(
        output, [&](std::FILE *file) { return WriteScriptFile(file, store, options, Pens(), &report); }, outputOptions);
}

// The drawing read whole and written as DXF or SVG.
int ExportOpened(Input &input, const Production &production, const std::string &output,
                 const OutputOptions &outputOptions, ConversionReport &report) {
    DrawingStore store;
    const int loaded = LoadOpenedDrawing(input, store);
    if (loaded != kOk) return loaded;
    return WriteOutput(
        output,
        [&](std::FILE *file) {
            return WriteExportFile(file, store, *production.format, production.exportOptions, &report);
        },
        outputOptions);
}

// One input converted or exported: its exit code, and what its output holds and leaves out when it was written.
int ConvertOne(Input &input, const Production &production, const std::string &output,
               const OutputOptions &outputOptions, bool quiet, ConversionReport &report) {
    if (const std::optional<std::string> same = OutputOverInput(output, {input.Path()}))
        return Fail(kUsage, Tr("{0}: is the input {1}; not written over (name another output)", {output, *same}));
    if (const auto failed = input.Open()) return Fail(kRejected, *failed);
    const ConvertOptions &options = production.convert;
    // A stream is read keeping only the kinds a script is made of, unless block figures or dimensions are
    // asked for; a drawing file, and any export, is read whole.
    const int code = production.format ? ExportOpened(input, production, output, outputOptions, report)
                     : input.IsDrawingFile() || NeedsWholeDrawing(options)
                         ? ConvertOpened<DrawingStore>(input, options, output, outputOptions, report)
                         : ConvertOpened<ScriptDrawing>(input, options, output, outputOptions, report);
    if (code == kOk) TellConversion(input.Name(), report, quiet);
    return code;
}

struct Converted {
    std::string input, output;
    int code = kOk;
    ConversionReport report;
};

// A file's name as the report holds it: UTF-8 as it is; a name in other bytes (a Shift-JIS name, as unzip
// leaves them) decoded as CP932, and said so beside it.
void NameField(JsonOut &json, const std::string &key, const std::string &name) {
    json.Key(key);
    if (IsUtf8(name)) return json.String(name);
    json.String(Cp932ToUtf8(name));
    json.Key(key + "Encoding");
    json.String("cp932");
}

// --report: per input, whether it converted and what its script (of `kinds` kinds) or export holds and leaves
// out, by kind and reason.
bool WriteReport(std::FILE *file, const std::vector<Converted> &all, std::size_t kinds) {
    JsonOut json(file);
    json.BeginObject();
    json.Key("inputs");
    json.BeginArray();
    for (const Converted &c : all) {
        json.BeginObject();
        NameField(json, "input", c.input);
        NameField(json, "output", c.output.empty() ? "-" : c.output);
        json.Key("exitCode");
        json.Integer(c.code);
        if (c.code == kOk) {
            json.Key("converted");
            json.BeginObject();
            for (std::size_t k = 0; k < kinds; k++) {
                json.Key(WrittenKey(static_cast<WrittenKind>(k)));
                json.Integer(static_cast<std::int64_t>(c.report.written[k]));
            }
            json.Key("fromBlockFigures");
            json.Integer(static_cast<std::int64_t>(c.report.fromBlocks));
            json.EndObject();
            json.Key("leftOut");
            json.BeginObject();
            for (std::size_t r = 0; r < kLeftOutReasons; r++) {
                json.Key(LeftOutKey(static_cast<LeftOutReason>(r)));
                json.Integer(static_cast<std::int64_t>(c.report.leftOut[r]));
            }
            json.EndObject();
        }
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    json.Newline();
    return json.Flush();
}

int FinishReport(int code, const ConvertReporting &reporting, const std::vector<Converted> &all,
                 const Production &production) {
    if (reporting.reportPath.empty()) return code;
    const std::size_t kinds = production.format ? kWrittenKinds : kScriptKinds;
    if (const Failure failed = WriteOutputFile(
            reporting.reportPath, [&](std::FILE *file) { return WriteReport(file, all, kinds); },
            reporting.outputOptions))
        return std::max(code, Fail(kOutputFailed, Tr("not written: {0}", {*failed})));
    return code;
}

}  // namespace

std::optional<std::string> ReportOverFiles(const ConvertReporting &reporting, const std::vector<std::string> &inputs,
                                           const std::string &output) {
    if (reporting.reportPath.empty()) return std::nullopt;
    if (reporting.reportPath == "-") return Tr("--report needs a file, not standard output");
    if (const std::optional<std::string> same = OutputOverInput(reporting.reportPath, inputs))
        return Tr("{0}: is the input {1}; not written over", {reporting.reportPath, *same});
    if (NameOneFile(reporting.reportPath, output))
        return Tr("{0}: is also the script's output", {reporting.reportPath});
    return std::nullopt;
}

int RunConvert(Input &input, const Production &production, const std::string &output,
               const OutputOptions &outputOptions, const ConvertReporting &reporting) {
    std::vector<Converted> all(1);
    all[0].input = input.Name();
    all[0].output = output;
    all[0].code = ConvertOne(input, production, output, outputOptions, reporting.quiet, all[0].report);
    return FinishReport(all[0].code, reporting, all, production);
}

unsigned DefaultJobs() { return std::clamp(std::thread::hardware_concurrency(), 1u, kMaxJobs); }

int RunConvertMany(const std::vector<ListedInput> &listed, std::uint64_t limit, const DrawingFileOptions &fileOptions,
                   const Production &production, const std::string &output, const OutputOptions &outputOptions,
                   unsigned jobs, const ConvertReporting &reporting) {
    std::vector<std::string> inputs;
    for (const ListedInput &input : listed)
        inputs.push_back(input.path);
    if (output.empty() || output == "-")
        return Fail(kUsage, Tr("several FILEs need -o FOLDER (see korvel-cli --help)"));
    std::error_code ec;
    const bool folder = fs::is_directory(FilePath(output), ec);
    if (!folder && (fs::exists(FilePath(output), ec) || !EndsWithSeparator(output)))
        return Fail(kUsage,
                    Tr("{0}: with several FILEs, -o names a folder (an existing one, or end it with /)", {output}));

    // Every output named, and checked against the inputs and each other, before anything is written.
    std::vector<std::string> outputs;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const std::string name =
            listed[i].scriptName.empty() ? OutputNameFor(inputs[i], production.Extension()) : listed[i].scriptName;
        outputs.push_back(Utf8Of(FilePath(output) / FilePath(listed[i].subfolder) / FilePath(name)));
    }
    if (const auto collision = FirstCollision(outputs)) {
        const auto [a, b] = *collision;
        return Fail(kUsage,
                    outputs[a] == outputs[b]
                        ? Tr("{0} and {1} would both be written to {2}; --name-by-path names each output after "
                             "its whole path",
                             {inputs[a], inputs[b], outputs[b]})
                        : Tr("{0} and {1} would both be written to {2} (names that differ only in case are one "
                             "file on Windows and on many shared folders); --name-by-path names each output after "
                             "its whole path",
                             {inputs[a], inputs[b], outputs[b]}));
    }
    const InputFiles inputFiles(inputs);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (const std::optional<std::string> same = inputFiles.WrittenOverBy(outputs[i]))
            return Fail(kUsage, Tr("{0}: is the input {1}; not written over", {outputs[i], *same}));
        if (NameOneFile(reporting.reportPath, outputs[i]))
            return Fail(kUsage, Tr("{0}: is also the script's output", {reporting.reportPath}));
    }
    for (const std::string &script : outputs) {
        const fs::path folder = FilePath(script).parent_path();
        fs::create_directories(folder, ec);
        if (ec || !fs::is_directory(folder, ec))
            return Fail(kOutputFailed, Tr("{0}: not a folder that can be written", {Utf8Of(folder)}));
    }

    // Workers take the inputs in order, each holding one drawing at a time; what each input says is kept
    // and printed in the inputs' order, so that any number of jobs prints what one job would.
    struct Outcome {
        int code = kOk;
        std::string messages;
        ConversionReport report;
        bool done = false;
    };
    std::vector<Outcome> outcomes(inputs.size());
    std::mutex lock;
    std::condition_variable finished;
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i; (i = next++) < inputs.size();) {
            Outcome outcome;
            {
                const MessageCapture capture(outcome.messages);
                try {
                    Input input(inputs[i], limit, fileOptions);
                    outcome.code =
                        ConvertOne(input, production, outputs[i], outputOptions, reporting.quiet, outcome.report);
                } catch (const std::bad_alloc &) {
                    outcome.code = Fail(kOutOfMemory, Tr("{0}: out of memory", {inputs[i]}));
                }
            }
            outcome.done = true;
            const std::lock_guard<std::mutex> guard(lock);
            outcomes[i] = std::move(outcome);
            finished.notify_one();
        }
    };
    std::vector<std::jthread> workers;
    for (unsigned j = 0; j < std::min<std::size_t>(jobs, inputs.size()); ++j)
        workers.emplace_back(work);

    const bool progress = IsTerminal(stderr);
    std::vector<Converted> all(inputs.size());
    int worst = kOk;
    std::size_t failed = 0;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        std::unique_lock<std::mutex> guard(lock);
        finished.wait(guard, [&] { return outcomes[i].done; });
        const Outcome outcome = std::move(outcomes[i]);
        guard.unlock();
        if (progress) std::fprintf(stderr, "[%zu/%zu] %s\n", i + 1, inputs.size(), ControlsEscaped(inputs[i]).c_str());
        std::fputs(outcome.messages.c_str(), stderr);
        failed += outcome.code != kOk;
        worst = std::max(worst, outcome.code);
        all[i] = {inputs[i], outputs[i], outcome.code, outcome.report};
    }
    Tell(Tr("{0} converted, {1} failed", {std::to_string(inputs.size() - failed), std::to_string(failed)}));
    return FinishReport(worst, reporting, all, production);
}

}  // namespace korvel::cli
