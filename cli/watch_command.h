// korvel-cli watch: every new Jw_cad copy on the clipboard imported and converted as it is made.
#pragma once

#include <string>

#include "files/output_file.h"
#include "script/convert.h"
#include "shell/form.h"

namespace korvel::cli {

struct WatchRequest {
    std::string output = kScriptFileName;  // one file rewritten for each copy, or a folder (ending with a separator)
    ConvertOptions options;
    OutputOptions outputOptions;
};

int RunWatch(const WatchRequest &request);

}  // namespace korvel::cli
