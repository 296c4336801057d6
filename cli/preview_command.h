// korvel-cli preview: the window's preview of a drawing as PNG, and optionally its draw-call trace.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "cli/cli_common.h"
#include "files/output_file.h"

namespace korvel::cli {

struct PreviewRequest {
    std::string imagePath;  // "-" for standard output
    std::string tracePath;  // empty: no trace
    std::int32_t width = 177, height = 129;
    bool view = false;  // the view's whole image (what the window's view shows first), not the preview
    OutputOptions output;
};

// "WxH" with each side 1 to 10000.
bool ParsePreviewSize(std::string_view text, PreviewRequest &request);

int RunPreview(Input &input, const PreviewRequest &request);

}  // namespace korvel::cli
