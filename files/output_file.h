// Writing an output so that a failed or interrupted run never leaves a partial file in place of a good
// one, and never writes through a name another process could have planted.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "files/failure.h"

namespace korvel {

struct OutputOptions {
    // A symbolic link at the path is followed to the file it names (an output the user chose); otherwise
    // the link itself is replaced (a scratch file, whose target nobody chose).
    bool followLinks = true;
    // Devices and pipes, and files in folders where no temporary can be made, are written in place;
    // otherwise such a path fails.
    bool writeInPlace = true;
    // Replace a file the user has no write permission for, as `cp --force` would.
    bool force = false;
};

// Calls `write` with an open stream for `path` ("-" is standard output). A regular file (or a new one)
// is written to a new temporary beside it (created exclusively, owner-only), synced, and renamed over it
// only when `write`, the flush and the close succeed; it keeps the replaced file's mode. SIGINT, SIGTERM,
// SIGHUP, SIGQUIT, SIGPIPE and the other terminating signals remove the temporary before the process
// ends. Otherwise why not, naming the cause and whether the old file was kept.
Failure WriteOutputFile(const std::string &path, const std::function<bool(std::FILE *)> &write,
                        const OutputOptions &options = {});

// Makes the terminating signals remove a pending temporary (the first write does this itself). A program
// that handles some of those signals itself installs its handlers after calling this.
void RemoveTemporariesOnSignals();

}  // namespace korvel
