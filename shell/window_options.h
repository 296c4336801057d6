// What both main windows offer beside their buttons, written once: the context menu's entries, the switches
// remembered across starts, the file dialogs' filters, and what a drop (or a command line's file) does.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "shell/form.h"

namespace korvel {

enum class WindowCommand {
    None,  // a separator
    Open,
    SaveAs,
    Export,
    View,
    AutoImport,
    AutoConvert,
    Blocks,
    Dimensions,
    GroupScales,
    AllLayers,
    ExportDrops,
};

struct MenuEntry {
    WindowCommand command;
    const char *name;  // the command's name for tests and accessibility: "Open"
    const char *text;
    char shortcut;  // with Ctrl; 0 for none
};

// The preview's context menu, in order.
extern const std::array<MenuEntry, 14> kContextMenu;

// Whether a command is a switch, and whether it is on or can be chosen now.
bool IsSwitch(WindowCommand command);
bool SwitchedOn(const TForm1 &form, WindowCommand command);
// The title of the folder dialog for several dropped drawings: where scripts, or exports, go.
const char *DropFolderTitle(const TForm1 &form);
bool CommandEnabled(const TForm1 &form, WindowCommand command);
// Turns a switch over; false for a command that is not one.
bool FlipSwitch(TForm1 &form, WindowCommand command);

// Where the remembered switches are kept (QSettings, korvel.ini): off unless stored on.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual bool Get(const std::string &key) const = 0;
    virtual void Set(const std::string &key, bool on) = 0;
};

// The form's switches and the four check boxes as the last run left them; the check boxes' states are
// returned, for the window to set.
std::array<bool, 4> LoadSwitches(TForm1 &form, const SettingsStore &settings);
void SaveSwitches(const TForm1 &form, const std::array<bool, 4> &checkBoxes, SettingsStore &settings);

// A file dialog's choice: its label and the patterns it shows.
struct FileFilter {
    const char *label;
    std::vector<std::string> patterns;  // "*.jww"
};
extern const std::vector<FileFilter> kOpenFilters, kSaveFilters, kExportFilters;

// One drawing (or saved clipboard folder) opens; several files, or a folder of drawings, convert into a folder
// the user picks.
enum class DropAction { Nothing, Open, ConvertIntoFolder };
DropAction ActionFor(const std::vector<std::string> &paths);

}  // namespace korvel
