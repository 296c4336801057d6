// Reads the CLIPBOARD selection over a connection of its own, every request with a deadline, so that an
// owner that never answers (or sends an INCR transfer a byte at a time) is reported instead of blocking.
#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvel {

class X11Selection {
public:
    // `idle`: how long any one answer (a reply, or the next piece of an INCR transfer) may take.
    // `whileWaiting` runs between waits, so that a window can repaint.
    X11Selection(std::chrono::milliseconds idle, std::function<void()> whileWaiting);
    ~X11Selection();
    X11Selection(const X11Selection &) = delete;
    X11Selection &operator=(const X11Selection &) = delete;

    bool Connected() const { return window != 0; }
    std::uint32_t Atom(const std::string &name);
    // The selection's data in `target`: nothing when there is no owner or it refuses the target. Throws
    // ClipboardNoAnswerError when the owner does not answer in time.
    std::optional<std::vector<std::uint8_t>> Convert(std::uint32_t target);
    // The targets the owner offers, protocol targets (TARGETS, TIMESTAMP, ...) left out.
    std::vector<std::uint32_t> DataTargets();

private:
    // The next event that `wanted` accepts, within the idle time; others are dropped (among them late
    // answers to requests that timed out).
    xcb_generic_event_t *WaitFor(const std::function<bool(xcb_generic_event_t *)> &wanted);
    std::optional<std::vector<std::uint8_t>> ReadProperty(std::uint32_t &type);

    std::chrono::milliseconds idle;
    std::function<void()> whileWaiting;
    xcb_connection_t *connection = nullptr;
    xcb_window_t window = 0;
    std::uint32_t clipboard = 0, property = 0, incr = 0, targets = 0;
    std::uint32_t requests = 0;  // picks each request's property
};

}  // namespace korvel
