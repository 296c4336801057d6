// A clipboard kept in a folder, one file per format name: for tests and for the command line.
#pragma once

#include <string>
#include <vector>

#include "shell/clipboards.h"

namespace korvel {

class FolderClipboard final : public ClipboardSource {
public:
    explicit FolderClipboard(std::string folder) : folder(std::move(folder)) {}

    int FormatCount() override;
    std::uint32_t Register(const std::string &name) override;
    bool Open() override { return true; }
    void Close() override {}
    std::optional<std::uint64_t> BlockSize(std::uint32_t format) override;
    bool ReadBlock(std::uint32_t format, const BlockReader &read) override;

    // Registered numbers start where Windows starts its registered formats.
    static constexpr std::uint32_t kFirstFormat = 0xC000;

private:
    std::string PathOf(std::uint32_t format) const;

    std::string folder;
    std::vector<std::string> names;  // registered names, by number - kFirstFormat
};

}  // namespace korvel
