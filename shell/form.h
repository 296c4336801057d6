// TForm1: the main window's state and handlers, the whole workflow of import, convert, copy and close.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "reader/drawing_store.h"
#include "script/convert.h"
#include "script/pen_colors.h"
#include "shell/clipboards.h"
#include "shell/form_controls.h"

namespace korvel {

inline constexpr const char *kScriptFileName = "TEMP.VNT";

class TForm1 {
public:
    TForm1(FormControls &controls, ClipboardSource &clipboard) : controls(controls), clipboards(clipboard) {}

    // `programFolder` is where the scratch and script files go (see ChooseProgramFolder).
    void FormShow(const std::string &programFolder);
    void FormClose();
    void Button1Click();  // import from the clipboard and preview
    void Button2Click();  // convert to "TEMP.VNT" and show it
    void Button3Click();  // select all of the script and copy it
    void Button4Click();  // close
    // Writes the script the pane shows, byte for byte as TEMP.VNT held it, to a file the user chose, through
    // the same safe writer; says so when there is none or the write failed.
    void SaveScriptAs(const std::string &path);
    // The name a save dialog offers: the opened drawing's, as NAME.vnt, or TEMP.VNT for a copy.
    std::string SuggestedScriptName() const;
    // Writes the drawing shown as DXF or SVG (by the name's extension; DXF, and ".dxf" added, for any other
    // name), at real size, in the background with its progress in the note; says where it went and what it
    // holds, or why not.
    void ExportDrawingAs(const std::string &path);
    // The opened drawing's name as NAME.dxf, or TEMP.dxf for a copy.
    std::string SuggestedExportName() const;

    // A dropped "Jw_win" dump, read and previewed as the import does with "prev.1", or a dropped .jww or
    // .jws drawing (its entities on editable layers, as Jw_cad copies them); the scratch files stay as
    // they are.
    void ImportDroppedFile(const std::string &path);

    // Several dropped files, or a folder of drawings: each converted with the current options into `folder`
    // as NAME.vnt (or, with `exportDrops`, exported as NAME.dxf) (named after its whole path when two names would be
    // one file), one at a time and nothing previewed; then one message says how many converted and which could not be,
    // and why.
    void ConvertDroppedFiles(const std::vector<std::string> &paths, const std::string &folder);

    // Automatic import, off unless the user turns it on: each new Jw_cad copy is imported as the import
    // button does (and, with `convert`, converted after a whole read). Other copies, and the window's own
    // copy of its script, change nothing and say nothing.
    struct AutoImport {
        bool import = false;
        bool convert = false;
    };
    void SetAutoImport(AutoImport choice) { autoImport = choice; }
    AutoImport GetAutoImport() const { return autoImport; }
    // The right-click menu's conversion switches, beside the four check boxes; off unless the user turns
    // them on.
    struct MoreOptions {
        bool blocks = false;           // block figures
        bool dimensions = false;       // dimension lines
        bool groupScales = false;      // each layer group's scale
        bool shownLayersOnly = false;  // only what the drawing view shows (its layer switches)
        bool allLayers = false;        // a .jww file's hidden and display-only layers too
        bool exportDrops = false;      // several dropped drawings exported as DXF, not converted
    };
    // A change of `allLayers` opens the shown .jww file again, with or without those layers.
    void SetMoreOptions(MoreOptions choice);
    MoreOptions GetMoreOptions() const { return moreOptions; }

    // The platform tells of every clipboard change; `copiedHere` when the window itself made it.
    void ClipboardChanged(bool copiedHere);

    // Long work under way (a file read, a conversion): the other handlers wait for it.
    bool Busy() const { return busy; }
    // Asks the work under way to stop: nothing it would have written is written, the drawing shown stays.
    void Cancel() { stopAsked = true; }

    const std::string &ProgramFolder() const { return programFolder; }
    const std::string &ScriptPath() const { return scriptPath; }
    std::string ScratchPath(int index) const;
    const DrawingStore &Store() const { return store; }
    // The drawing view's layer switches; all on for each new drawing.
    const HiddenLayers &GetHiddenLayers() const { return hiddenLayers; }
    void SetHiddenLayers(const HiddenLayers &hidden) { hiddenLayers = hidden; }

private:
    // What the store holds: nothing yet, a whole drawing, the part of one read before its read failed, or
    // an earlier drawing after a copy or file that was not read (still previewed, never converted: the
    // user asked for another drawing).
    enum class Loaded { Nothing, Whole, Partial, Stale };

    // False when the clipboard holds no Jw_cad drawing.
    bool Import();
    // Reads the stream into the store and draws the preview; false when the header check rejects it.
    bool PreviewStream(const std::string &path);
    // The drawing read into `incoming` (`whole` when all of it), its preview drawn on the canvas the window
    // gave last, replaces the shown one; the pane, which showed the earlier drawing's script, is cleared.
    void TakeDrawing(DrawingStore &incoming, bool whole);
    // Runs `work` off the window's thread with the buttons off, the note saying `what`, and `done` after, on
    // the window's thread. Nothing (and says why) when other work is under way.
    void RunLong(const std::string &what, std::function<void()> work, std::function<void()> done);
    // Long work's progress for its options: `note` and the whole percent in the note when it changes
    // (`shownPercent`, which must outlive the work, remembers the last), and whether to go on.
    std::function<bool(std::uint64_t, std::uint64_t)> ProgressInNote(const char *note, int *shownPercent);
    // Refuses to convert or export what is not a whole drawing, saying why; true when it did.
    bool RefusedWithoutWholeDrawing(const char *nothingMessage);
    bool RefusedWhileBusy();
    // The note under the buttons: what the current choices leave out.
    void ShowNote();
    // Says `rejected` when a copy or file failed the check (and whether the window still holds an earlier
    // drawing), or that the read failed part-way.
    void SayHowItWasRead(bool checked, const std::string &rejected, const std::string &file = {});
    // The check boxes' and the menu's choices.
    ConvertOptions ChosenOptions() const;
    // What the script holds and left out, and a warning when it holds no command although the drawing has
    // entities.
    void SayWhatWasConverted(const ConversionReport &report);
    void LoadScriptIntoPane();

    FormControls &controls;
    Clipboards clipboards;
    DrawingStore store;
    PenColorTable pens;
    std::string programFolder;
    std::string scriptPath;
    std::string openedFile;  // the drawing file shown; empty for a copy from the clipboard
    Loaded loaded = Loaded::Nothing;
    // The script the pane shows: all its bytes when the pane holds all of it; of a longer one, only the whole
    // script's size and digest, to find TEMP.VNT unchanged when it is saved or copied.
    struct ShownScript {
        std::vector<std::uint8_t> whole;  // the script itself when the pane holds all of it, else nothing
        std::uint64_t size = 0, digest = 0;
        bool Whole() const { return whole.size() == size; }
    };
    std::optional<ShownScript> shownScript;
    // The whole shown script (read again from TEMP.VNT when long); nothing, and said why, when it has changed.
    std::optional<std::vector<std::uint8_t>> WholeShownScript();
    bool summaryShown = false;  // the note says what the shown script holds
    AutoImport autoImport;
    MoreOptions moreOptions;
    HiddenLayers hiddenLayers;
    bool busy = false;
    std::atomic<bool> stopAsked{false};
};

// Runs a handler as the window's event loop does: an error that escapes it goes to the error display.
void RunGuarded(FormControls &controls, const std::function<void()> &handler);

// The handler of Button1..Button4.
void ClickButton(TForm1 &form, int button);

}  // namespace korvel
