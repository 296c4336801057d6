// The commands of korvel-cli, one file each; they return the process's exit code.
#pragma once

#include "cli/cli_common.h"
#include "script/convert.h"

namespace korvel::cli {

int RunCheck(Input &input);
int RunInfo(Input &input);
int RunDump(Input &input);
int RunConvert(Input &input, const ConvertOptions &options, const std::string &output);

}  // namespace korvel::cli
