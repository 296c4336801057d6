// Owns the CLIPBOARD selection the way Wine does for Jw_cad's copy: one target per registered format,
// each holding a file's bytes. Arguments: NAME=FILE ... or --text TEXT; or --silent, an owner that never
// answers a request; or --incr-forever MILLISECONDS, an owner that offers Jw_cad's three formats and sends
// any of them (and refuses any other) as an INCR transfer that never ends, a 64 kB piece at most every MILLISECONDS; or --changes N
// NAME=FILE ..., an owner that takes the selection anew N times in a row. Prints "ready" once it owns the
// selection and keeps it until terminated.
#include <xcb/xcb.h>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <cstring>
#include <vector>

#include <unistd.h>

xcb_atom_t Intern(xcb_connection_t *connection, const char *name) {
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : XCB_NONE;
    free(reply);
    return atom;
}

// A connection of its own whose window owns CLIPBOARD, once the server has done it; says "ready". Null when
// there is no display.
xcb_connection_t *TakeSelection(xcb_window_t &window) {
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) return nullptr;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(connection, window, Intern(connection, "CLIPBOARD"), XCB_CURRENT_TIME);
    free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));  // the request is done
    std::puts("ready");
    std::fflush(stdout);
    return connection;
}

// Takes the selection and then never reads a request, as a hung program would.
int OwnSilently() {
    xcb_window_t window;
    if (!TakeSelection(window)) return 1;
    for (;;)
        pause();
}

// Answers every request for data with an INCR transfer whose pieces never stop coming.
int OwnWithEndlessTransfers(int pauseMilliseconds) {
    xcb_window_t window;
    xcb_connection_t *connection = TakeSelection(window);
    if (!connection) return 1;
    const xcb_atom_t targets = Intern(connection, "TARGETS"), incr = Intern(connection, "INCR");
    const xcb_atom_t offered[] = {targets, Intern(connection, "DataObject"), Intern(connection, "Jw_win"),
                                  Intern(connection, "Ole Private Data")};
    static const std::vector<std::uint8_t> piece(64 * 1024, 0x55);
    xcb_atom_t pieceType = XCB_NONE;
    while (xcb_generic_event_t *event = xcb_wait_for_event(connection)) {
        const std::uint8_t kind = event->response_type & 0x7F;
        if (kind == XCB_SELECTION_REQUEST) {
            const auto *request = reinterpret_cast<xcb_selection_request_event_t *>(event);
            xcb_atom_t answer = request->property;
            if (request->target == targets) {
                xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request->requestor, request->property,
                                    XCB_ATOM_ATOM, 32, 4, offered);
            } else if (std::find(std::begin(offered), std::end(offered), request->target) == std::end(offered)) {
                answer = XCB_NONE;  // refused
            } else {
                const std::uint32_t size = 1 << 30;
                pieceType = request->target;
                const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(connection, request->requestor, XCB_CW_EVENT_MASK, &events);
                xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request->requestor, request->property, incr,
                                    32, 1, &size);
            }
            xcb_selection_notify_event_t notify{};
            notify.response_type = XCB_SELECTION_NOTIFY;
            notify.time = request->time;
            notify.requestor = request->requestor;
            notify.selection = request->selection;
            notify.target = request->target;
            notify.property = answer;
            xcb_send_event(connection, 0, request->requestor, 0, reinterpret_cast<const char *>(&notify));
        } else if (kind == XCB_PROPERTY_NOTIFY) {
            const auto *change = reinterpret_cast<xcb_property_notify_event_t *>(event);
            if (change->state == XCB_PROPERTY_DELETE && pieceType != XCB_NONE) {
                if (pauseMilliseconds > 0) usleep(static_cast<useconds_t>(pauseMilliseconds) * 1000);
                xcb_change_property(connection, XCB_PROP_MODE_REPLACE, change->window, change->atom, pieceType, 8,
                                    static_cast<std::uint32_t>(piece.size()), piece.data());
            }
        }
        free(event);
        xcb_flush(connection);
    }
    return 0;
}

int main(int argc, char **argv) {
    if (argc == 2 && std::strcmp(argv[1], "--silent") == 0) return OwnSilently();
    if (argc == 3 && std::strcmp(argv[1], "--incr-forever") == 0) return OwnWithEndlessTransfers(std::atoi(argv[2]));
    int changes = 1, first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--changes") == 0) {
        changes = std::atoi(argv[2]);
        first = 3;
    }
    QGuiApplication app(argc, argv);
    auto *data = new QMimeData;
    for (int i = first; i < argc; ++i) {
        if (std::strcmp(argv[i], "--text") == 0 && i + 1 < argc) {
            data->setText(QString::fromUtf8(argv[++i]));
            continue;
        }
        const QString argument = QString::fromLocal8Bit(argv[i]);
        const qsizetype equals = argument.indexOf('=');
        QFile file(argument.mid(equals + 1));
        if (equals <= 0 || !file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "clipboard_owner: bad argument %s\n", argv[i]);
            return 2;
        }
        data->setData(argument.left(equals), file.readAll());
    }
    for (int i = 1; i < changes; ++i) {
        // Another owner each time, as another copy would be.
        auto *copy = new QMimeData;
        for (const QString &format : data->formats())
            copy->setData(format, data->data(format));
        QGuiApplication::clipboard()->setMimeData(copy, QClipboard::Clipboard);
        QCoreApplication::processEvents();
    }
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}
