#include "shell/capture.h"

#include "geom/func.h"

namespace korvel {

std::string ScratchPath(const std::string &folder, int index) { return folder + "prev." + std::to_string(index); }

bool ListJwFormats(Clipboards &clipboards, ScratchList &list) {
    if (clipboards.ClipboardFormatCount() < 3) return false;
    std::uint32_t formats[3];
    for (int i = 0; i < 3; ++i) {
        formats[i] = clipboards.RegisterFormat(kFormatNames[i]);
        if (formats[i] == 0) return false;
    }
    list.ClearScratchList();
    for (const std::uint32_t format : formats) {
        std::uint32_t size = 0;
        if (clipboards.ClipboardFormatSize(format, size) && size != 0)
            list.AddScratchLine(std::to_string(format) + " S:" + std::to_string(size));
    }
    return list.ScratchLineCount() == 3;
}

void DumpListedFormats(Clipboards &clipboards, const ScratchList &list, const std::string &folder) {
    const ClipboardHold hold(clipboards);
    for (int i = 0; i < 3; ++i) {
        const std::string line = list.ScratchLine(i);
        const std::size_t separator = line.find(" S:");
        if (separator == std::string::npos || separator == 0) continue;
        const auto format = static_cast<std::uint32_t>(ParseIntOrZero(line.substr(0, separator)));
        clipboards.DumpClipboardFormat(format, ScratchPath(folder, i));
    }
}

}  // namespace korvel
