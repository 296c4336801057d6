// A clipboard and a main window's controls for driving the workflow headless.
#pragma once

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "preview/preview.h"
#include "preview/recording_canvas.h"
#include "shell/clipboards.h"
#include "shell/form_controls.h"

namespace korvel::test {

using Bytes = std::vector<std::uint8_t>;

class FakeClipboard final : public ClipboardSource {
public:
    std::map<std::string, Bytes> formats;
    int failOpenAt = -1;  // the index of the source open that another program prevents
    int opens = 0;
    bool registrationFails = false;

    int FormatCount() override { return static_cast<int>(formats.size()); }
    std::uint32_t Register(const std::string &name) override {
        if (registrationFails) return 0;
        const auto found = std::find(names.begin(), names.end(), name);
        if (found != names.end()) return Number(found - names.begin());
        names.push_back(name);
        return Number(names.size() - 1);
    }
    bool Open() override { return opens++ != failOpenAt; }
    void Close() override {}
    std::optional<std::uint64_t> BlockSize(std::uint32_t format) override {
        const Bytes *block = Block(format);
        if (!block) return std::nullopt;
        return block->size();
    }
    bool ReadBlock(std::uint32_t format, const BlockReader &read) override {
        const Bytes *block = Block(format);
        if (block) read(*block);
        return block != nullptr;
    }

private:
    static std::uint32_t Number(std::ptrdiff_t index) { return 49361 + static_cast<std::uint32_t>(index); }
    const Bytes *Block(std::uint32_t format) const {
        if (format < 49361 || format - 49361 >= names.size()) return nullptr;
        const auto found = formats.find(names[format - 49361]);
        return found == formats.end() ? nullptr : &found->second;
    }
    std::vector<std::string> names;
};

class FakeControls final : public FormControls {
public:
    std::vector<std::string> log;    // buttons, cursor, pane actions and messages in the order they came
    std::vector<MessageKind> kinds;  // the messages' kinds, in order
    std::string documentName;        // what the title says is shown
    std::string summary;             // what the last conversion wrote and left out
    std::array<bool, 4> checked{};
    std::string text;
    std::vector<std::string> scratch;
    std::string scriptLocation;
    RecordingCanvas image;
    int newImages = 0;

    void SetButtonEnabled(int button, bool enabled) override {
        log.push_back((enabled ? "enable " : "disable ") + std::to_string(button));
    }
    bool CheckBoxChecked(int checkBox) const override { return checked.at(checkBox - 1); }
    void ClearText() override { text.clear(); }
    void SetText(const std::string &t) override { text = t; }
    void FocusText() override { log.push_back("focus"); }
    void SelectAllText() override { log.push_back("select all"); }
    void CopySelectedText() override { log.push_back("copy"); }
    void CopyText(const std::string &copied) override { log.push_back("copy " + std::to_string(copied.size())); }
    void ClearScratchList() override { scratch.clear(); }
    void AddScratchLine(const std::string &line) override { scratch.push_back(line); }
    int ScratchLineCount() const override { return static_cast<int>(scratch.size()); }
    std::string ScratchLine(int index) const override { return scratch.at(index); }
    Canvas &NewPreviewImage() override {
        ++newImages;
        // A new bitmap, as the windows make: no operations, the pen and brush a new canvas starts with.
        image.ops.clear();
        image.SetPen(Pen{});
        image.SetBrush(Brush{});
        return image;
    }
    std::int32_t PreviewImageWidth() const override { return kPreviewWidth; }
    std::int32_t PreviewImageHeight() const override { return kPreviewHeight; }
    void PreviewImageDrawn() override { log.push_back("drawn"); }
    void ShowScriptLocation(const std::string &path) override { scriptLocation = path; }
    void SetBusyCursor(bool busy) override { log.push_back(busy ? "busy" : "idle"); }
    void ShowDocumentName(const std::string &name) override { documentName = name; }
    void ShowConversionSummary(const std::string &text) override { summary = text; }
    void ShowMessage(const std::string &message, MessageKind kind) override {
        log.push_back("message " + message);
        kinds.push_back(kind);
    }
    void CloseWindow() override { log.push_back("close"); }

    // With `deferWork`, long work waits for FinishWork, as on a window whose thread goes on meanwhile.
    bool deferWork = false;
    void RunInBackground(std::function<void()> work, std::function<void()> done) override {
        if (!deferWork) return work(), done();
        pendingWork = std::move(work);
        pendingDone = std::move(done);
    }
    void FinishWork() {
        const auto work = std::move(pendingWork), done = std::move(pendingDone);
        work();
        done();
    }
    std::function<void()> pendingWork, pendingDone;
};

}  // namespace korvel::test
