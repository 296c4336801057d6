#include "platform/qt/x11_selection.h"

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>

#include "shell/clipboards.h"

namespace korvel {

namespace {

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <class T>
Reply<T> Owned(T *reply) {
    return Reply<T>(reply, &std::free);
}

}  // namespace

X11Selection::X11Selection(X11TransferLimits limits, std::function<void()> whileWaiting,
                           std::function<bool()> stopRequested)
    : limits(limits), whileWaiting(std::move(whileWaiting)), stopRequested(std::move(stopRequested)) {
    int screenNumber = 0;
    connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0) return;
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    const xcb_window_t created = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, created, screens.data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    clipboard = Atom("CLIPBOARD");
    incr = Atom("INCR");
    targets = Atom("TARGETS");
    if (clipboard != 0 && incr != 0 && targets != 0) window = created;
}

X11Selection::~X11Selection() { xcb_disconnect(connection); }

std::uint32_t X11Selection::Atom(const std::string &name) {
    const auto reply = Owned(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr));
    return reply ? reply->atom : 0;
}

xcb_generic_event_t *X11Selection::WaitFor(const std::function<bool(xcb_generic_event_t *)> &wanted) {
    const auto deadline = std::min(std::chrono::steady_clock::now() + limits.idle, transferDeadline);
    for (;;) {
        if (stopRequested && stopRequested()) throw ClipboardNoAnswerError();
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            if (wanted(event)) return event;
            std::free(event);
        }
        if (xcb_connection_has_error(connection)) throw ClipboardNoAnswerError();
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) throw ClipboardNoAnswerError();
        pollfd fd{xcb_get_file_descriptor(connection), POLLIN, 0};
        ::poll(&fd, 1, static_cast<int>(std::min<long long>(left.count(), 50)));
        if (whileWaiting) whileWaiting();
    }
}

std::optional<std::vector<std::uint8_t>> X11Selection::ReadProperty(std::uint32_t &type) {
    const auto reply = Owned(xcb_get_property_reply(
        connection, xcb_get_property(connection, 1, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 0x1FFFFFFF),
        nullptr));
    if (!reply) return std::nullopt;
    type = reply->type;
    const auto *bytes = static_cast<const std::uint8_t *>(xcb_get_property_value(reply.get()));
    const int length = xcb_get_property_value_length(reply.get());
    return std::vector<std::uint8_t>(bytes, bytes + length);
}

std::optional<std::vector<std::uint8_t>> X11Selection::Convert(std::uint32_t target) {
    if (!Connected()) return std::nullopt;
    const auto owner =
        Owned(xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, clipboard), nullptr));
    if (!owner || owner->owner == XCB_NONE) return std::nullopt;
    transferDeadline = std::chrono::steady_clock::now() + limits.whole;
    // A few properties in turn: an answer that comes after its request timed out names another one.
    property = Atom("KORVEL_SELECTION_" + std::to_string(++requests % 8));
    xcb_delete_property(connection, window, property);
    xcb_convert_selection(connection, window, clipboard, target, property, XCB_CURRENT_TIME);
    xcb_flush(connection);
    xcb_generic_event_t *event = WaitFor([&](xcb_generic_event_t *e) {
        if ((e->response_type & 0x7F) != XCB_SELECTION_NOTIFY) return false;
        const auto *notify = reinterpret_cast<xcb_selection_notify_event_t *>(e);
        return notify->requestor == window && notify->target == target &&
               (notify->property == property || notify->property == XCB_NONE);
    });
    const bool refused = reinterpret_cast<xcb_selection_notify_event_t *>(event)->property == XCB_NONE;
    std::free(event);
    if (refused) return std::nullopt;
    std::uint32_t type = 0;
    std::optional<std::vector<std::uint8_t>> data = ReadProperty(type);  // deleting it starts an INCR transfer
    if (!data || type != incr) return data;
    data->clear();
    for (;;) {
        std::free(WaitFor([&](xcb_generic_event_t *e) {
            if ((e->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
            const auto *notify = reinterpret_cast<xcb_property_notify_event_t *>(e);
            return notify->window == window && notify->atom == property && notify->state == XCB_PROPERTY_NEW_VALUE;
        }));
        const std::optional<std::vector<std::uint8_t>> piece = ReadProperty(type);
        if (!piece) return std::nullopt;
        if (piece->empty()) return data;
        if (piece->size() > limits.maxBytes - data->size()) throw ClipboardTooLargeError();
        data->insert(data->end(), piece->begin(), piece->end());
    }
}

std::vector<std::uint32_t> X11Selection::DataTargets() {
    std::vector<std::uint32_t> found;
    const std::optional<std::vector<std::uint8_t>> list = Convert(targets);
    if (!list) return found;
    const std::uint32_t protocol[] = {targets, Atom("TIMESTAMP"), Atom("MULTIPLE"), Atom("SAVE_TARGETS")};
    for (std::size_t at = 0; at + 4 <= list->size(); at += 4) {
        std::uint32_t atom = 0;
        std::memcpy(&atom, list->data() + at, 4);
        if (std::find(std::begin(protocol), std::end(protocol), atom) == std::end(protocol)) found.push_back(atom);
    }
    return found;
}

}  // namespace korvel
