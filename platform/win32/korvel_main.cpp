// Korvel.exe: the Windows program, one window that imports Jw_cad's clipboard and converts it for Vantra.
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include "files/program_folder.h"
#include "platform/win32/main_window.h"
#include "platform/win32/wide_text.h"

namespace {

std::string ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return korvel::Utf8OfWide(path);
        }
        path.resize(path.size() * 2);
    }
}

// %APPDATA%\Korvel, for when the program's own folder cannot be written.
std::string UserDataFolder() {
    wchar_t folder[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return {};
    return korvel::Utf8OfWide(folder) + "\\Korvel";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    try {
        korvel::MainWindow window(instance, korvel::ChooseProgramFolder(ExecutablePath(), UserDataFolder()));
        // Korvel.exe FILE ("Open with", a file dropped on the program's icon) opens FILE like a drop.
        int argc = 0;
        wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
        if (argv && argc == 2) window.OpenDroppedFiles({korvel::Utf8OfWide(argv[1])});
        LocalFree(argv);
        return window.Run();
    } catch (const std::exception &error) {
        MessageBoxW(nullptr, korvel::WideOf(error.what()).c_str(), L"Korvel", MB_OK | MB_ICONERROR);
        return 1;
    }
}
