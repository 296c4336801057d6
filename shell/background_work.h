// Long work on a thread of its own, its end run on the window's thread: the same for both windows, which
// differ only in how they hand a function to their thread.
#pragma once

#include <functional>
#include <thread>

#include "shell/form_controls.h"

namespace korvel {

class BackgroundWork {
public:
    using Post = std::function<void(std::function<void()>)>;

    // Waits for the work under way, if any (the caller asks it to stop first).
    ~BackgroundWork();

    // Runs `work` on a new thread; then, through `post` on the window's thread, reports what it threw to
    // `controls` and runs `done`.
    void Start(std::function<void()> work, std::function<void()> done, Post post, FormControls &controls);

private:
    std::thread thread;
};

}  // namespace korvel
