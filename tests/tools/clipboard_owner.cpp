// Owns the CLIPBOARD selection the way Wine does for Jw_cad's copy: one target per registered format,
// each holding a file's bytes. Arguments: NAME=FILE ... or --text TEXT. Prints "ready" once it owns the
// selection and keeps it until terminated.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
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
