// The clipboard on Linux: the CLIPBOARD selection through Qt. Under X11 (and so for Jw_cad under Wine)
// the formats are the selection's targets, numbered by their X atoms.
#pragma once

#include <QByteArray>
#include <QString>
#include <map>
#include <optional>

#include "shell/clipboards.h"

namespace korvel {

class X11Clipboard final : public ClipboardSource {
public:
    int FormatCount() override;
    std::uint32_t Register(const std::string &name) override;
    bool Open() override { return true; }  // X has no clipboard lock to take
    void Close() override {}
    std::optional<std::uint64_t> BlockSize(std::uint32_t format) override;
    bool ReadBlock(std::uint32_t format, const BlockReader &read) override;

private:
    // The format's bytes, fetched from the selection's owner.
    std::optional<QByteArray> Fetch(std::uint32_t format) const;

    std::map<std::uint32_t, QString> names;  // registered numbers and their target names
};

}  // namespace korvel
