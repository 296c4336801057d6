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

// What one transfer may take: `idle`, how long any one answer (a reply, or the next piece of an INCR transfer)
// may take; `whole`, the whole transfer, however it trickles; `maxBytes`, its size.
struct X11TransferLimits {
    std::chrono::milliseconds idle, whole;
    std::uint64_t maxBytes;
};

class X11Selection {
public:
    // `whileWaiting` runs between waits, so that a window can repaint; once `stopRequested` says so, the
    // transfer ends as one that got no answer.
    X11Selection(X11TransferLimits limits, std::function<void()> whileWaiting,
                 std::function<bool()> stopRequested = {});
    ~X11Selection();
    X11Selection(const X11Selection &) = delete;
    X11Selection &operator=(const X11Selection &) = delete;

    bool Connected() const { return window != 0; }
    std::uint32_t Atom(const std::string &name);
    // The selection's data in `target`: nothing when there is no owner or it refuses the target. Throws
    // ClipboardNoAnswerError when the owner does not answer or finish in time or a stop is requested, and
    // ClipboardTooLargeError past the size limit.
    std::optional<std::vector<std::uint8_t>> Convert(std::uint32_t target);
    // The targets the owner offers, protocol targets (TARGETS, TIMESTAMP, ...) left out.
    std::vector<std::uint32_t> DataTargets();

private:
    // The next event that `wanted` accepts, within the idle time; others are dropped (among them late
    // answers to requests that timed out).
    xcb_generic_event_t *WaitFor(const std::function<bool(xcb_generic_event_t *)> &wanted);
    std::optional<std::vector<std::uint8_t>> ReadProperty(std::uint32_t &type);

    X11TransferLimits limits;
    std::function<void()> whileWaiting;
    std::function<bool()> stopRequested;
    std::chrono::steady_clock::time_point transferDeadline = std::chrono::steady_clock::time_point::max();
    xcb_connection_t *connection = nullptr;
    xcb_window_t window = 0;
    std::uint32_t clipboard = 0, property = 0, incr = 0, targets = 0;
    std::uint32_t requests = 0;  // picks each request's property
};

}  // namespace korvel
