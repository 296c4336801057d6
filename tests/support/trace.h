// A recorded drawing as the lines of its trace, for comparing previews in tests.
#pragma once

#include <string>
#include <vector>

#include "preview/recording_canvas.h"

namespace korvel::test {

inline std::vector<std::string> Trace(const std::vector<DrawOp> &ops) {
    std::vector<std::string> lines;
    for (const DrawOp &op : ops)
        lines.push_back(TraceLine(op));
    return lines;
}

}  // namespace korvel::test
