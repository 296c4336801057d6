// Owns the CLIPBOARD selection the way Wine does for Jw_cad's copy: one target per registered format,
// each holding a file's bytes. Arguments: NAME=FILE ... or --text TEXT; or --silent, an owner that never
// answers a request. Prints "ready" once it owns the selection and keeps it until terminated.
#include <xcb/xcb.h>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <cstdio>
#include <cstring>

#include <unistd.h>

// Takes the selection and then never reads a request, as a hung program would.
int OwnSilently() {
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) return 1;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, 9, "CLIPBOARD"), nullptr);
    xcb_set_selection_owner(connection, window, atom->atom, XCB_CURRENT_TIME);
    free(atom);
    free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));  // the request is done
    std::puts("ready");
    std::fflush(stdout);
    for (;;)
        pause();
}

int main(int argc, char **argv) {
    if (argc == 2 && std::strcmp(argv[1], "--silent") == 0) return OwnSilently();
    QGuiApplication app(argc, argv);
    auto *data = new QMimeData;
    for (int i = 1; i < argc; ++i) {
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
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}
