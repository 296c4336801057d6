// The commands of korvel-cli, one file each; they return the process's exit code.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "files/output_file.h"
#include "script/convert.h"
#include "script/export.h"
#include "shell/input_list.h"

namespace korvel::cli {

// The whole program behind each platform's entry point: arguments in UTF-8, the exit code returned.
int RunCommandLine(int argc, char **argv);

int RunCheck(Input &input);
int RunInfo(Input &input);
int RunDump(Input &input);
// What convert and export write of each input: the Vantra script, or (with a format) an export.
struct Production {
    ConvertOptions convert;
    std::optional<ExportFormat> format;
    ExportOptions exportOptions;

    std::string Extension() const { return format ? std::string(ExtensionOf(*format)) : ".vnt"; }
};

// What convert says of each input besides its errors: a summary line unless `quiet`, and with `reportPath`
// a JSON file of every input's counts (written through the same safe writer as the scripts).
struct ConvertReporting {
    bool quiet = false;
    std::string reportPath;
    OutputOptions outputOptions;
};
// Why --report cannot be written where it is asked for (an input, the script), if so.
std::optional<std::string> ReportOverFiles(const ConvertReporting &reporting, const std::vector<std::string> &inputs,
                                           const std::string &output);
int RunConvert(Input &input, const Production &production, const std::string &output,
               const OutputOptions &outputOptions, const ConvertReporting &reporting);
// Whether -o names a folder (an existing one, or a name ending with a separator): scripts go into it.
bool NamesAFolder(const std::string &output);
// Each input's script as NAME.vnt (or its export as NAME.dxf or NAME.svg) in the folder `output` (in its subfolder, for
// one found in a subfolder), `jobs` inputs at a time; a failing input is reported and the others still convert.
// Messages come in the inputs' order; the exit code is the highest of theirs.
int RunConvertMany(const std::vector<ListedInput> &listed, std::uint64_t limit, const DrawingFileOptions &fileOptions,
                   const Production &production, const std::string &output, const OutputOptions &outputOptions,
                   unsigned jobs, const ConvertReporting &reporting);
// How many inputs convert at a time unless -j says otherwise: one per core.
unsigned DefaultJobs();
// The most jobs -j takes.
inline constexpr unsigned kMaxJobs = 64;

}  // namespace korvel::cli
