// The capture half of the import: which of Jw_cad's formats the clipboard holds, and their dumps.
#pragma once

#include <string>
#include <vector>

#include "shell/clipboards.h"

namespace korvel {

// The import's scratch list: lines "NUMBER S:SIZE", one per format found.
class ScratchList {
public:
    virtual ~ScratchList() = default;
    virtual void ClearScratchList() = 0;
    virtual void AddScratchLine(const std::string &line) = 0;
    virtual int ScratchLineCount() const = 0;
    virtual std::string ScratchLine(int index) const = 0;
};

// A scratch list kept in memory, for callers without a window.
class ScratchLines final : public ScratchList {
public:
    void ClearScratchList() override { lines.clear(); }
    void AddScratchLine(const std::string &line) override { lines.push_back(line); }
    int ScratchLineCount() const override { return static_cast<int>(lines.size()); }
    std::string ScratchLine(int index) const override { return lines.at(static_cast<std::size_t>(index)); }

private:
    std::vector<std::string> lines;
};

// The three formats Jw_cad publishes, in the order of their dump files "prev.0".."prev.2".
inline constexpr const char *kFormatNames[3] = {"DataObject", "Jw_win", "Ole Private Data"};

// The dump file of format `index` in `folder` (which ends with a separator).
std::string ScratchPath(const std::string &folder, int index);

// Lists the three formats with their sizes when the clipboard holds at least three formats; true when
// all three are there and not empty. Throws ClipboardOpenError when another program holds the clipboard.
bool ListJwFormats(Clipboards &clipboards, ScratchList &list);

// Dumps each listed format to its file in `folder`, holding the clipboard open throughout.
void DumpListedFormats(Clipboards &clipboards, const ScratchList &list, const std::string &folder);

}  // namespace korvel
