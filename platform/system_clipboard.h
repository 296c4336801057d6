// The clipboard of the session the program runs in; one implementation per platform.
#pragma once

#include <csignal>
#include <memory>
#include <string>

#include "files/failure.h"
#include "shell/clipboards.h"

namespace korvel {

// The system clipboard, or why the session has none to offer. Once `stop` is set (a signal handler sets it),
// a transfer under way ends as one that got no answer.
Result<std::unique_ptr<ClipboardSource>> OpenSystemClipboard(const volatile std::sig_atomic_t *stop = nullptr);

// Tells when a program puts something new on the session's clipboard: told by the system, never by asking
// it over and over, and without taking the clipboard.
class ClipboardChanges {
public:
    virtual ~ClipboardChanges() = default;
    // Waits for the next change; false once `stop` is set (a signal handler sets it) or the session ends.
    virtual bool WaitForChange(const volatile std::sig_atomic_t &stop) = 0;
};

// Why not, when the session cannot tell.
Result<std::unique_ptr<ClipboardChanges>> WatchSystemClipboard();

}  // namespace korvel
