// Writing a command's output so that a failed run never leaves a partial file in place of a good one.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace korvel::cli {

// Calls `write` with an open stream for `path` ("-" is standard output). A regular file (or a new one)
// is written to a new temporary beside it (created exclusively, owner-only) and renamed over it only when
// `write`, the flush and the close succeed; it keeps the replaced file's mode. A symbolic link is
// followed first. Devices and pipes, and files in folders where no temporary can be made, are written
// in place. False with a one-line message otherwise.
bool WriteOutputFile(const std::string &path, const std::function<bool(std::FILE *)> &write, std::string &error);

}  // namespace korvel::cli
