// The Qt application a process without a window of its own (korvel-cli, tests) needs for fonts and the
// clipboard: started once, on first need, and kept to the end of the process.
#pragma once

#include "files/failure.h"

namespace korvel {

enum class GuiPlatform {
    Offscreen,  // drawing only: needs no display
    Session,    // the session's display, for its clipboard
};

// Starts the application on `platform` unless one runs already; why not when the session has no display, or
// when the running one cannot serve `platform`.
Failure StartGuiApplication(GuiPlatform platform);

}  // namespace korvel
