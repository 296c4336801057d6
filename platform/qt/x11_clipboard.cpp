#include "platform/qt/x11_clipboard.h"

#include <xcb/xcb.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QStringList>
#include <cstdlib>
#include <memory>

namespace korvel {

namespace {

// Targets of the selection protocol itself, not data formats.
bool IsProtocolTarget(const QString &target) {
    return target == "TARGETS" || target == "TIMESTAMP" || target == "MULTIPLE" || target == "SAVE_TARGETS";
}

xcb_connection_t *X11Connection() {
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// The target's X atom; under another windowing system a number of our own in the registered range.
std::uint32_t AtomFor(const QByteArray &name, std::uint32_t fallback) {
    xcb_connection_t *connection = X11Connection();
    if (!connection) return fallback;
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.constData());
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : 0;
}

const QMimeData *ClipboardData() {
    return qGuiApp ? QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard) : nullptr;
}

}  // namespace

X11Clipboard::X11Clipboard(std::function<bool()> stopRequested) {
    if (!X11Connection()) return;
    // Repaints, but no clicks, while the owner takes its time: the window stays drawn and cannot start
    // a second import inside the first.
    auto x11 = std::make_unique<X11Selection>(
        X11TransferLimits{kAnswerTime, kWholeTransferTime, ClipboardByteLimit()},
        [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }, std::move(stopRequested));
    if (x11->Connected()) selection = std::move(x11);
}

int X11Clipboard::FormatCount() {
    if (selection) return static_cast<int>(selection->DataTargets().size());
    const QMimeData *data = ClipboardData();
    if (!data) return 0;
    int count = 0;
    for (const QString &format : data->formats())
        if (!IsProtocolTarget(format)) ++count;
    return count;
}

std::uint32_t X11Clipboard::Register(const std::string &name) {
    const QByteArray latin = QByteArray::fromStdString(name);
    if (latin.isEmpty() || latin.size() > 0xFFFF) return 0;
    for (const auto &[number, registered] : names)
        if (registered.toUtf8() == latin) return number;
    const std::uint32_t number = AtomFor(latin, 0xC000 + static_cast<std::uint32_t>(names.size()));
    if (number != 0) names.emplace(number, QString::fromUtf8(latin));
    return number;
}

std::optional<QByteArray> X11Clipboard::Fetch(std::uint32_t format) {
    const auto name = names.find(format);
    if (selection) {
        if (name == names.end()) return std::nullopt;
        const std::optional<std::vector<std::uint8_t>> bytes = selection->Convert(format);
        if (!bytes) return std::nullopt;
        return QByteArray(reinterpret_cast<const char *>(bytes->data()), static_cast<qsizetype>(bytes->size()));
    }
    const QMimeData *data = ClipboardData();
    if (name == names.end() || !data || !data->hasFormat(name->second)) return std::nullopt;
    return data->data(name->second);
}

std::optional<std::uint64_t> X11Clipboard::BlockSize(std::uint32_t format) {
    const std::optional<QByteArray> bytes = Fetch(format);
    if (!bytes) return std::nullopt;
    return static_cast<std::uint64_t>(bytes->size());
}

bool X11Clipboard::ReadBlock(std::uint32_t format, const BlockReader &read) {
    const std::optional<QByteArray> bytes = Fetch(format);
    if (!bytes) return false;
    read(
        std::span(reinterpret_cast<const std::uint8_t *>(bytes->constData()), static_cast<std::size_t>(bytes->size())));
    return true;
}

}  // namespace korvel
