// The commands of korvel-cli, one file each; they return the process's exit code.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "reader/output_file.h"
#include "script/convert.h"

namespace korvel::cli {

// The whole program behind each platform's entry point: arguments in UTF-8, the exit code returned.
int RunCommandLine(int argc, char **argv);

int RunCheck(Input &input);
int RunInfo(Input &input);
int RunDump(Input &input);
int RunConvert(Input &input, const ConvertOptions &options, const std::string &output,
               const OutputOptions &outputOptions);
// Whether -o names a folder (an existing one, or a name ending with a separator): scripts go into it.
bool NamesAFolder(const std::string &output);
// Each input's script as NAME.vnt in the folder `output`; a failing input is reported and the others still
// convert. The exit code is the highest of the inputs' codes.
int RunConvertMany(const std::vector<std::string> &inputs, std::uint64_t limit, const DrawingFileOptions &fileOptions,
                   const ConvertOptions &options, const std::string &output, const OutputOptions &outputOptions);

}  // namespace korvel::cli
