// Clipboard changes on X11: the XFixes extension sends an event whenever CLIPBOARD gets a new owner.
#include <poll.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>
#include <memory>

#include "platform/system_clipboard.h"

namespace korvel {

namespace {

// How often a wait looks at its stop flag: a signal ends it within this time.
constexpr int kStopCheckMilliseconds = 100;

class X11ClipboardChanges final : public ClipboardChanges {
public:
    X11ClipboardChanges(xcb_connection_t *connection, std::uint8_t firstEvent)
        : connection(connection), firstEvent(firstEvent) {}
    ~X11ClipboardChanges() override { xcb_disconnect(connection); }

    // Changes that came while the last copy was being converted count as one: only the clipboard's latest
    // content can still be taken.
    bool WaitForChange(const volatile std::sig_atomic_t &stop) override {
        while (!stop) {
            bool changed = false;
            while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
                changed = changed || (event->response_type & 0x7F) == firstEvent + XCB_XFIXES_SELECTION_NOTIFY;
                std::free(event);
            }
            if (changed) return true;
            if (xcb_connection_has_error(connection)) return false;
            pollfd wait{xcb_get_file_descriptor(connection), POLLIN, 0};
            poll(&wait, 1, kStopCheckMilliseconds);
        }
        return false;
    }

private:
    xcb_connection_t *connection;
    std::uint8_t firstEvent;
};

}  // namespace

Result<std::unique_ptr<ClipboardChanges>> WatchSystemClipboard() {
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return {nullptr, "no X11 display to watch (DISPLAY is unset or cannot be reached)"};
    }
    const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present) {
        xcb_disconnect(connection);
        return {nullptr, "the X11 display cannot tell clipboard changes (no XFixes extension)"};
    }
    free(xcb_xfixes_query_version_reply(connection, xcb_xfixes_query_version(connection, 5, 0), nullptr));
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_intern_atom_reply_t *clipboard =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, 9, "CLIPBOARD"), nullptr);
    if (!clipboard) {
        xcb_disconnect(connection);
        return {nullptr, "the X11 display does not answer"};
    }
    xcb_xfixes_select_selection_input(connection, window, clipboard->atom,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER);
    free(clipboard);
    xcb_flush(connection);
    return {std::make_unique<X11ClipboardChanges>(connection, xfixes->first_event), std::nullopt};
}

}  // namespace korvel
