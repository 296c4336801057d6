// The main window's controls as the workflow uses them; each platform's window implements this.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "preview/canvas.h"
#include "shell/capture.h"

namespace korvel {

enum class MessageKind { Information, Warning, Error };

// Buttons and check boxes are numbered as the window names them: Button1..Button4, CheckBox1..CheckBox4.
class FormControls : public ScratchList {
public:
    virtual ~FormControls() = default;

    virtual void SetButtonEnabled(int button, bool enabled) = 0;
    virtual bool CheckBoxChecked(int checkBox) const = 0;

    // RichEdit1, the script pane. Texts are UTF-8 with '\n' line ends.
    virtual void ClearText() = 0;
    virtual void SetText(const std::string &text) = 0;
    virtual void FocusText() = 0;
    virtual void SelectAllText() = 0;
    virtual void CopySelectedText() = 0;
    // Puts `text` on the clipboard, as the pane's copy would.
    virtual void CopyText(const std::string &text) = 0;

    // ListBox1, the hidden scratch list of the import, is the ScratchList.

    // Image1: the canvas of a new blank bitmap of the image's size, shown once drawn (the picture stays
    // until then, and when the drawing is not taken after all).
    virtual Canvas &NewPreviewImage() = 0;
    virtual std::int32_t PreviewImageWidth() const = 0;
    virtual std::int32_t PreviewImageHeight() const = 0;
    // The new bitmap is drawn: show it.
    virtual void PreviewImageDrawn() = 0;
    // The drawing the window holds is about to be replaced, and has been: what shows it lets go of it first
    // (the drawing view) and shows the new one after.
    virtual void DrawingReplacing() {}
    virtual void DrawingReplaced() {}

    // Where the convert button writes the script, shown on the pane and the button (the folder may be
    // hidden from other programs' file dialogs).
    virtual void ShowScriptLocation(const std::string &path) = 0;

    // What the last conversion wrote and left out, where the window's note is (the layout stays as it is).
    virtual void ShowConversionSummary(const std::string &summary) = 0;
    // What the window shows, in its title after the caption: a file's name, or the clipboard and when.
    virtual void ShowDocumentName(const std::string &name) = 0;
    virtual void SetBusyCursor(bool busy) = 0;
    // Long work: `work` runs off the window's thread while the window stays responsive, then `done` runs on
    // the window's thread. Without threads (tests) both run at once.
    virtual void RunInBackground(std::function<void()> work, std::function<void()> done) {
        work();
        done();
    }
    // Runs `f` on the window's thread soon: how the background work shows its progress.
    virtual void Post(std::function<void()> f) { f(); }
    // The application's message box, with the icon the message's kind calls for: an error's only for what
    // failed.
    virtual void ShowMessage(const std::string &message, MessageKind kind) = 0;
    virtual void CloseWindow() = 0;
};

}  // namespace korvel
