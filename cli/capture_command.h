// korvel-cli capture: the import's dumps of the session's clipboard, with a report and optionally the script.
#pragma once

#include <string>

#include "files/output_file.h"
#include "script/convert.h"

namespace korvel::cli {

struct CaptureRequest {
    std::string folder;      // where prev.0..prev.2 go; empty for the current folder
    std::string scriptPath;  // --convert OUT; empty for none
    ConvertOptions options;
    OutputOptions output;  // for the script
};

int RunCapture(const CaptureRequest &request);

}  // namespace korvel::cli
