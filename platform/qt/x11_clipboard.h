// The clipboard on Linux: the CLIPBOARD selection. Under X11 (and so for Jw_cad under Wine) the formats
// are the selection's targets, numbered by their X atoms, read with a deadline on every request; under
// another windowing system through Qt.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/qt/x11_selection.h"
#include "shell/clipboards.h"

namespace korvel {

class X11Clipboard final : public ClipboardSource {
public:
    // Once `stopRequested` says so, a transfer under way ends as one that got no answer.
    explicit X11Clipboard(std::function<bool()> stopRequested = {});
    int FormatCount() override;
    std::uint32_t Register(const std::string &name) override;
    bool Open() override { return true; }  // X has no clipboard lock to take
    void Close() override {}
    std::optional<std::uint64_t> BlockSize(std::uint32_t format) override;
    bool ReadBlock(std::uint32_t format, const BlockReader &read) override;

    // How long the clipboard's owner may take to answer any one request, and to send one format whole
    // (a real copy of hundreds of megabytes takes seconds).
    static constexpr std::chrono::milliseconds kAnswerTime{3000};
    static constexpr std::chrono::milliseconds kWholeTransferTime{120'000};

private:
    // The format's bytes, fetched from the selection's owner.
    std::optional<QByteArray> Fetch(std::uint32_t format);

    std::unique_ptr<X11Selection> selection;  // null when the display is not X11
    std::map<std::uint32_t, QString> names;   // registered numbers and their target names
};

}  // namespace korvel
