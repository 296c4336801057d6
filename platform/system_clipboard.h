// The clipboard of the session the program runs in; one implementation per platform.
#pragma once

#include <memory>
#include <string>

#include "shell/clipboards.h"

namespace korvel {

// The system clipboard, or nothing (with the reason in `error`) when the session has none to offer.
std::unique_ptr<ClipboardSource> OpenSystemClipboard(std::string &error);

}  // namespace korvel
