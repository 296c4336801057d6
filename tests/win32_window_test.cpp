// Korvel.exe end to end under Wine: a real capture on the clipboard, the program started from a folder of
// its own and driven through its window's messages: layout, import, preview, convert, copy, close.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>

#include "platform/raster_canvas.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/main_window.h"
#include "platform/win32/png_writer.h"
#include "platform/win32/wide_text.h"
#include "preview/preview.h"
#include "reader/jclfunit.h"
#include "shell/messages.h"
#include "support/realdata.h"
#include "support/stream_writer.h"
#include "support/win32_clipboard_fill.h"

using namespace korvel;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Env(const char *name) {
    const char *value = std::getenv(name);
    return value ? value : "";
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (const HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t *>(GlobalLock(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

// Runs a program and waits for it; its exit code, or -1.
int RunProgram(const std::wstring &commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 20000, &result))
        << "the window did not answer (a message box?)";
    return static_cast<LRESULT>(result);
}

std::wstring TextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(Send(control, WM_GETTEXTLENGTH)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(Send(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// The pixels of a window's client area as 0x00RRGGBB, read from the screen (another process's window
// cannot be read through its own device context).
std::vector<std::uint32_t> Grab(HWND window, int width, int height) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t *>(bits),
                                      static_cast<const std::uint32_t *>(bits) + width * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (std::uint32_t &p : pixels)
        p &= 0x00FFFFFF;
    return pixels;
}

// The program draws on its own schedule: read until the expected picture shows, or give up after a while.
std::vector<std::uint32_t> GrabWhenShown(HWND window, int width, int height,
                                         const std::vector<std::uint32_t> &expected) {
    std::vector<std::uint32_t> pixels;
    for (int i = 0; i < 100; ++i, Sleep(50)) {
        pixels = Grab(window, width, height);
        if (pixels == expected) break;
    }
    return pixels;
}

void SavePng(const std::vector<std::uint32_t> &pixels, int width, int height, const std::string &path) {
    Bytes rgb;
    for (const std::uint32_t p : pixels) {
        rgb.push_back(static_cast<std::uint8_t>(p >> 16));
        rgb.push_back(static_cast<std::uint8_t>(p >> 8));
        rgb.push_back(static_cast<std::uint8_t>(p));
    }
    const std::string png = EncodeRgbPng(width, height, rgb);
    test::WriteFileBytes(path, Bytes(png.begin(), png.end()));
}

// What Image1 should show for a stream.
std::vector<std::uint32_t> ExpectedPreview(const std::string &streamPath) {
    GdiCanvas canvas(kPreviewWidth, kPreviewHeight);
    PreviewSurface surface(canvas);
    PrepareBlankPreview(surface, kPreviewWidth, kPreviewHeight);
    DrawingStore store;
    if (ReadClipFile(streamPath, store)) RenderDrawingPreview(surface, store);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < kPreviewHeight; ++y)
        for (int x = 0; x < kPreviewWidth; ++x) {
            const Rgb c = canvas.PixelAt(x, y);
            pixels.push_back((std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b);
        }
    return pixels;
}

// Clicks a button whose handler shows a message box: the message's text, once the box is dismissed.
std::wstring ClickAndDismissMessage(HWND window, HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &process);
    for (int i = 0; i < 400; ++i, Sleep(50)) {
        HWND box = nullptr;
        EnumThreadWindows(
            thread,
            [](HWND candidate, LPARAM found) {
                wchar_t name[16] = {};
                GetClassNameW(candidate, name, 16);
                if (std::wstring(name) != L"#32770" || !IsWindowVisible(candidate)) return TRUE;
                *reinterpret_cast<HWND *>(found) = candidate;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&box));
        if (!box) continue;
        const std::wstring text = TextOf(GetDlgItem(box, 0xFFFF));  // the message box's text
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        for (int j = 0; j < 100 && IsWindow(box); ++j)
            Sleep(20);
        return text;
    }
    return L"";
}

// Seconds taken by a click whose handler runs to its end before SendMessage returns (given minutes: the
// figure is reported, not judged).
double TimedClick(HWND button) {
    const auto start = std::chrono::steady_clock::now();
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 300000, &result));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The program's window, once it shows (null after a while without it).
HWND FindKorvelWindow() {
    HWND window = nullptr;
    for (int i = 0; i < 200 && !window; ++i, Sleep(50))
        window = FindWindowW(kWindowClass, nullptr);
    return window;
}

// A control of the window by its name in the layout table.
HWND ControlOf(HWND window, const char *name) {
    for (std::size_t i = 0; i < kControls.size(); ++i)
        if (std::string(kControls[i].name) == name) return GetDlgItem(window, kFirstControlId + static_cast<int>(i));
    return nullptr;
}

std::wstring ClassNameOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

TEST(KorvelExe, LayoutImportConvertCopyAndClose) {
    const auto dir = test::RealDataDir();
    const std::string capture = dir ? (*dir / "jwc-v600-sample.jwcad711").string() : "";
    if (!dir || !fs::exists(capture + ".prev1")) GTEST_SKIP() << "no real capture";
    const fs::path work = fs::temp_directory_path() / ("korvel-exe-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(work);
    fs::create_directories(work);
    fs::copy_file(Env("KORVEL_EXE"), work / "Korvel.exe");
    Bytes formats[3];
    for (int i = 0; i < 3; ++i)
        formats[i] = test::ReadFileBytes(capture + ".prev" + std::to_string(i));
    ASSERT_TRUE(test::PutOnClipboard(
        nullptr, {{"DataObject", formats[0]}, {"Jw_win", formats[1]}, {"Ole Private Data", formats[2]}}));

    // The command line's capture dumps the clipboard as the window's import does.
    const std::wstring cliPath = L"\"" + fs::path(Env("KORVEL_CLI")).wstring() + L"\"";
    ASSERT_EQ(RunProgram(cliPath + L" capture \"" + (work / "captured").wstring() + L"\""), 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(test::ReadFileBytes(work / "captured" / ("prev." + std::to_string(i))), formats[i]) << i;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + (work / "Korvel.exe").wstring() + L"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, work.c_str(), &startup,
                               &process));
    WaitForInputIdle(process.hProcess, 20000);
    const HWND window = FindKorvelWindow();
    ASSERT_NE(window, nullptr);

    // The frame: default client size and place, caption; it can be resized and maximised (the pane grows).
    RECT client{}, frame{};
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    EXPECT_EQ(client.right, kClientWidth);
    EXPECT_EQ(client.bottom, kClientHeight);
    EXPECT_EQ(frame.left, kWindowLeft);
    EXPECT_EQ(frame.top, kWindowTop);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX),
              WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
    EXPECT_EQ(Utf8OfWide(TextOf(window)), kWindowCaption);

    // Every control at its place with its caption and the window's font.
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const ControlPlace &place = kControls[i];
        const HWND control = GetDlgItem(window, kFirstControlId + static_cast<int>(i));
        ASSERT_NE(control, nullptr) << place.name;
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&r), 2);
        EXPECT_EQ(r.left, place.left) << place.name;
        EXPECT_EQ(r.top, place.top) << place.name;
        EXPECT_EQ(r.right - r.left, place.width) << place.name;
        EXPECT_EQ(r.bottom - r.top, place.height) << place.name;
        if (place.kind == ControlKind::Button || place.kind == ControlKind::CheckBox ||
            place.kind == ControlKind::Label) {
            EXPECT_EQ(Utf8OfWide(TextOf(control)), place.caption) << place.name;
        }
        EXPECT_EQ(IsWindowVisible(control) != FALSE, place.kind != ControlKind::ScratchList) << place.name;
    }
    auto control = [&](const char *name) { return ControlOf(window, name); };
    EXPECT_EQ(ClassNameOf(control("RichEdit1")), L"RichEdit20W");

    // Tab order among the visible controls, wrapping round.
    std::vector<std::string> order;
    HWND at = control("Button1");
    do {
        for (const ControlPlace &place : kControls)
            if (at == control(place.name)) order.push_back(place.name);
        at = GetNextDlgTabItem(window, at, FALSE);
    } while (at && at != control("Button1") && order.size() < 20);
    EXPECT_EQ(order, (std::vector<std::string>{"Button1", "CheckBox2", "CheckBox1", "CheckBox3", "CheckBox4", "Button2",
                                               "RichEdit1", "Button3", "Button4"}));

    // Import: the three dumps, and the preview of the stream.
    Send(control("Button1"), BM_CLICK);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(test::ReadFileBytes(work / ("prev." + std::to_string(i))), formats[i]) << "prev." << i;
    const std::vector<std::uint32_t> expected = ExpectedPreview((work / "prev.1").string());
    EXPECT_EQ(GrabWhenShown(control("Image1"), kPreviewWidth, kPreviewHeight, expected), expected);

    // Convert with every option: the same script as the command line's.
    for (const char *box : {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"})
        Send(control(box), BM_SETCHECK, BST_CHECKED);
    Send(control("Button2"), BM_CLICK);
    const fs::path cliScript = work / "cli.vnt";
    const std::wstring cli = cliPath + L" convert --colors --layers --hatching --solids \"" +
                             (work / "prev.1").wstring() + L"\" -o \"" + cliScript.wstring() + L"\"";
    ASSERT_EQ(RunProgram(cli), 0);
    const Bytes script = test::ReadFileBytes(work / "TEMP.VNT");
    EXPECT_GT(script.size(), 100u);
    EXPECT_EQ(script, test::ReadFileBytes(cliScript));

    if (const std::string screenshot = Env("KORVEL_SCREENSHOT"); !screenshot.empty())
        SavePng(Grab(window, kClientWidth, kClientHeight), kClientWidth, kClientHeight, screenshot);

    // Copy: the clipboard holds the pane's text, which is the script.
    Send(control("Button3"), BM_CLICK);
    const std::wstring paneText = TextOf(control("RichEdit1"));
    EXPECT_EQ(paneText.substr(0, 7), L"#VAR\r\n\x3000");
    EXPECT_EQ(ClipboardText(), paneText);

    // The session ending (logout, shutdown) takes the scratch files too: Windows ends the program after it.
    Send(window, WM_ENDSESSION, TRUE);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(fs::exists(work / ("prev." + std::to_string(i)))) << "after the session's end, prev." << i;

    // Close: the program ends and takes its scratch files with it.
    Send(control("Button4"), BM_CLICK);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(fs::exists(work / ("prev." + std::to_string(i)))) << i;
    EXPECT_TRUE(fs::exists(work / "TEMP.VNT"));
    fs::remove_all(work);
}

// What Windows shows of a program, read back through its own API: the version's strings, the icon, and for
// the window the manifest that asks for visual styles and DPI awareness.
TEST(KorvelExe, BothProgramsCarryVersionIconAndTheWindowItsManifest) {
    struct Program {
        std::string path;
        const char *description;
        bool window;
    };
    for (const Program &program :
         {Program{Env("KORVEL_EXE"), "Korvel: Jw_cad drawings to Vantra scripts", true},
          Program{Env("KORVEL_CLI"), "Korvel command-line tool: Jw_cad drawings to Vantra scripts", false}}) {
        SCOPED_TRACE(program.path);
        const std::wstring path = fs::path(program.path).wstring();
        DWORD ignored = 0;
        std::vector<std::uint8_t> info(GetFileVersionInfoSizeW(path.c_str(), &ignored));
        ASSERT_FALSE(info.empty());
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
        auto value = [&](const wchar_t *name) {
            wchar_t *text = nullptr;
            UINT length = 0;
            const std::wstring key = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
            if (!VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void **>(&text), &length))
                return std::string();
            return Utf8OfWide(std::wstring(text, length ? length - 1 : 0));
        };
        EXPECT_EQ(value(L"ProductName"), "Korvel");
        EXPECT_EQ(value(L"ProductVersion"), "1.02");
        EXPECT_EQ(value(L"FileVersion"), "1.02");
        EXPECT_EQ(value(L"FileDescription"), program.description);
        EXPECT_NE(value(L"LegalCopyright").find("MIT"), std::string::npos);
        VS_FIXEDFILEINFO *fixed = nullptr;
        UINT fixedLength = 0;
        ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void **>(&fixed), &fixedLength));
        EXPECT_EQ(fixed->dwFileVersionMS, 0x00010002u);

        const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
        EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(3 + 11)), nullptr);  // RT_GROUP_ICON
        const HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));   // RT_MANIFEST
        EXPECT_EQ(manifest != nullptr, program.window);
        if (manifest) {
            const std::string text(static_cast<const char *>(LockResource(LoadResource(module, manifest))),
                                   SizeofResource(module, manifest));
            EXPECT_NE(text.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
            EXPECT_NE(text.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true"),
                      std::string::npos);
        }
        FreeLibrary(module);
    }
}

// Automatic import and conversion in Korvel.exe, told by the Win32 clipboard: switched on through the
// context menu's commands, with block figures and the layers' check box, all remembered in korvel.ini by the
// next start; text changes nothing; the note says what went in.
TEST(KorvelExe, AutomaticImportConvertsEachJwCadCopyAndIsRemembered) {
    const fs::path work = fs::temp_directory_path() / ("korvel-auto-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(work);
    fs::create_directories(work);
    fs::copy_file(Env("KORVEL_EXE"), work / "Korvel.exe");
    const Bytes example = test::ReadFileBytes(fs::path(KORVEL_EXAMPLES_DIR) / "plan.jwwin");
    const auto copy = [&] {
        ASSERT_TRUE(test::PutOnClipboard(
            nullptr, {{"DataObject", Bytes(4, 1)}, {"Jw_win", example}, {"Ole Private Data", Bytes(120, 2)}}));
        Sleep(1500);
    };
    const fs::path cliScript = work / "cli.vnt";
    ASSERT_EQ(RunProgram(L"\"" + fs::path(Env("KORVEL_CLI")).wstring() + L"\" convert \"" +
                         (fs::path(KORVEL_EXAMPLES_DIR) / "plan.jwwin").wstring() + L"\" --blocks --layers -o \"" +
                         cliScript.wstring() + L"\""),
              0);
    const fs::path script = work / "TEMP.VNT";
    for (const bool restarted : {false, true}) {
        SCOPED_TRACE(restarted ? "after a restart" : "switched on");
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        std::wstring commandLine = L"\"" + (work / "Korvel.exe").wstring() + L"\"";
        ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, work.c_str(),
                                   &startup, &process));
        WaitForInputIdle(process.hProcess, 20000);
        const HWND window = FindKorvelWindow();
        ASSERT_NE(window, nullptr);
        if (!restarted) {
            Send(window, WM_COMMAND, MAKEWPARAM(CommandId(WindowCommand::AutoImport), 0));
            Send(window, WM_COMMAND, MAKEWPARAM(CommandId(WindowCommand::AutoConvert), 0));
            Send(window, WM_COMMAND, MAKEWPARAM(CommandId(WindowCommand::Blocks), 0));
            Send(ControlOf(window, "CheckBox2"), BM_CLICK);
        }
        fs::remove(script);
        ASSERT_TRUE(test::PutOnClipboard(nullptr, {{"Rich Text Format", Bytes(10, 'x')}}));
        Sleep(1500);
        EXPECT_FALSE(fs::exists(script));
        copy();
        EXPECT_EQ(test::ReadFileBytes(script), test::ReadFileBytes(cliScript));
        wchar_t note[256] = {};
        GetWindowTextW(ControlOf(window, "Label1"), note, 256);
        EXPECT_NE(std::wstring(note).find(L"うちブロック図形から 10"), std::wstring::npos);
        Send(ControlOf(window, "Button4"), BM_CLICK);
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    fs::remove_all(work);
}

// korvel-cli.exe watch under Wine, told by the Win32 clipboard: a copy, something else, another copy. (Wine
// gives the test no console to send Ctrl+C through: the watch is ended by force, its scratch folder in the
// test's own temporary folder.)
TEST(KorvelCliExe, WatchConvertsEachJwCadCopy) {
    const fs::path work = fs::temp_directory_path() / ("korvel-watch-test-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(work);
    fs::create_directories(work);
    const fs::path log = work / "watch.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE output = CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(output, INVALID_HANDLE_VALUE);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process{};
    std::wstring commandLine =
        L"\"" + fs::path(Env("KORVEL_CLI")).wstring() + L"\" watch --layers -o \"" + (work / "out").wstring() + L"/\"";
    std::wstring oldTemporary(32768, L'\0');
    oldTemporary.resize(GetEnvironmentVariableW(L"TMP", oldTemporary.data(), 32768));
    SetEnvironmentVariableW(L"TMP", work.c_str());
    const bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, work.c_str(),
                                        &startup, &process);
    SetEnvironmentVariableW(L"TMP", oldTemporary.empty() ? nullptr : oldTemporary.c_str());
    CloseHandle(output);
    ASSERT_TRUE(started);
    Sleep(2000);

    const Bytes example = test::ReadFileBytes(fs::path(KORVEL_EXAMPLES_DIR) / "plan.jwwin");
    const auto copy = [&] {
        ASSERT_TRUE(test::PutOnClipboard(
            nullptr, {{"DataObject", Bytes(4, 1)}, {"Jw_win", example}, {"Ole Private Data", Bytes(120, 2)}}));
        Sleep(1500);
    };
    copy();
    ASSERT_TRUE(test::PutOnClipboard(nullptr, {{"Rich Text Format", Bytes(10, 'x')}}));
    Sleep(1500);
    copy();
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 20000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    const Bytes said = test::ReadFileBytes(log);
    const std::string text(said.begin(), said.end());
    EXPECT_NE(text.find("clipboard-1.vnt"), std::string::npos) << text;
    EXPECT_NE(text.find("not a Jw_cad drawing: ignored"), std::string::npos) << text;
    EXPECT_NE(text.find("clipboard-2.vnt"), std::string::npos) << text;
    const fs::path cliScript = work / "cli.vnt";
    ASSERT_EQ(RunProgram(L"\"" + fs::path(Env("KORVEL_CLI")).wstring() + L"\" convert --layers \"" +
                         (fs::path(KORVEL_EXAMPLES_DIR) / "plan.jwwin").wstring() + L"\" -o \"" + cliScript.wstring() +
                         L"\""),
              0);
    for (const char *name : {"clipboard-1.vnt", "clipboard-2.vnt"})
        EXPECT_EQ(test::ReadFileBytes(work / "out" / name), test::ReadFileBytes(cliScript)) << name;
    EXPECT_FALSE(fs::exists(work / "out" / "clipboard-3.vnt"));
    fs::remove_all(work);
}

// Korvel.exe FILE opens FILE; a drawing of 100,000 entities converts and copies in seconds (the figures
// are printed, not asserted: a benchmark, not a timed test); a copy that cannot be read is said, and the
// earlier drawing is then not converted.
TEST(KorvelExe, OpensItsFileConvertsLargeDrawingsAndSaysWhatWasNotRead) {
    const fs::path work = fs::temp_directory_path() / ("korvel-big-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(work);
    fs::create_directories(work);
    fs::copy_file(Env("KORVEL_EXE"), work / "Korvel.exe");
    DrawingStore big;
    big.layerGroupScales.assign(16, 1.0);
    for (int i = 0; i < 100000; ++i) {
        // Colours and layers in runs, as a drawing's entities mostly come.
        const TclpEntBase base{
            0, 1, static_cast<std::uint16_t>(1 + i / 1000 % 8), 0, static_cast<std::uint16_t>(i / 5000 % 16), 0, 2};
        if (i % 10 == 0) {
            TclpEntMoji text;
            text.base = base;
            text.startX = i;
            text.text = "部屋 " + std::to_string(i);
            test::Add(big, text);
        } else {
            test::Add(big, TclpEntSen{base, 0.5 * i, 1.25 * i, i + 100.0, i - 7.5});
        }
    }
    const fs::path stream = work / "big.jwwin";
    test::WriteFileBytes(stream, test::WriteStream(big));

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + (work / "Korvel.exe").wstring() + L"\" \"" + stream.wstring() + L"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, work.c_str(), &startup,
                               &process));
    WaitForInputIdle(process.hProcess, 20000);
    const HWND window = FindKorvelWindow();
    ASSERT_NE(window, nullptr);
    auto control = [&](const char *name) { return ControlOf(window, name); };
    const std::vector<std::uint32_t> expected = ExpectedPreview(stream.string());
    EXPECT_EQ(GrabWhenShown(control("Image1"), kPreviewWidth, kPreviewHeight, expected), expected);
    // The title names the drawing shown.
    wchar_t title[512] = {};
    GetWindowTextW(window, title, 512);
    EXPECT_EQ(std::wstring(title), WideOf(WindowTitleFor("big.jwwin")));

    // The drawing view opens from the menu's command with the drawing in it, and closing it keeps the program.
    Send(window, WM_COMMAND, MAKEWPARAM(CommandId(WindowCommand::View), 0));
    HWND view = nullptr;
    for (int i = 0; i < 100 && !view; ++i, Sleep(50))
        view = FindWindowW(L"KorvelView", nullptr);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(IsWindowVisible(view));
    const HWND viewPane = FindWindowExW(view, nullptr, L"KorvelViewPane", nullptr);
    Sleep(1000);  // painted
    RECT paneRect{};
    GetClientRect(viewPane, &paneRect);
    const std::vector<std::uint32_t> viewImage = Grab(viewPane, paneRect.right, paneRect.bottom);
    EXPECT_GT(
        std::count_if(viewImage.begin(), viewImage.end(), [](std::uint32_t p) { return (p & 0xFFFFFF) != 0xFFFFFF; }),
        1000);
    if (!Env("KORVEL_SCREENSHOT").empty())
        SavePng(viewImage, paneRect.right, paneRect.bottom, Env("KORVEL_SCREENSHOT") + ".view.png");
    Send(view, WM_CLOSE);
    EXPECT_FALSE(IsWindowVisible(view));
    EXPECT_TRUE(IsWindowVisible(window));

    for (const char *box : {"CheckBox1", "CheckBox2"})
        Send(control(box), BM_SETCHECK, BST_CHECKED);
    const auto converting = std::chrono::steady_clock::now();
    const double convertSeconds = TimedClick(control("Button2"));
    const std::string screenshot = Env("KORVEL_SCREENSHOT");
    if (!screenshot.empty()) {
        Sleep(1000);
        SavePng(Grab(window, kClientWidth, kClientHeight), kClientWidth, kClientHeight, screenshot + ".filling.png");
    }
    const fs::path cliScript = work / "cli.vnt";
    const std::wstring cliPath = L"\"" + fs::path(Env("KORVEL_CLI")).wstring() + L"\"";
    ASSERT_EQ(RunProgram(cliPath + L" convert --colors --layers \"" + stream.wstring() + L"\" -o \"" +
                         cliScript.wstring() + L"\""),
              0);
    const Bytes script = test::ReadFileBytes(work / "TEMP.VNT");
    EXPECT_EQ(script, test::ReadFileBytes(cliScript));
    // Copy at once, while the pane still takes the text in parts: the clipboard gets the whole text, the
    // pane's text once it is complete.
    const double copySeconds = TimedClick(control("Button3"));
    const std::wstring copied = ClipboardText();
    if (!screenshot.empty())
        SavePng(Grab(window, kClientWidth, kClientHeight), kClientWidth, kClientHeight, screenshot + ".copied.png");
    // Reading the whole text back often would slow the filling down: twice a second.
    std::wstring paneText;
    for (int i = 0; i < 120 && (paneText = TextOf(control("RichEdit1"))).size() < copied.size(); ++i)
        Sleep(500);
    const double filledSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - converting).count();
    EXPECT_EQ(copied, paneText);
    EXPECT_EQ(paneText.substr(0, 7), L"#VAR\r\n\x3000");
    if (!screenshot.empty())
        SavePng(Grab(window, kClientWidth, kClientHeight), kClientWidth, kClientHeight, screenshot + ".filled.png");
    const double copyFilledSeconds = TimedClick(control("Button3"));
    EXPECT_EQ(ClipboardText(), paneText);
    std::printf(
        "Korvel.exe, %d entities, %zu-byte script: convert %.2f s, copy %.2f s (goal: 3 s each); "
        "the pane complete after %.2f s, copied again in %.2f s\n",
        100000, script.size(), convertSeconds, copySeconds, filledSeconds, copyFilledSeconds);

    // A copy whose "Jw_win" fails the header check: said, and the earlier drawing is not converted.
    ASSERT_TRUE(test::PutOnClipboard(
        nullptr, {{"DataObject", Bytes(4, 1)}, {"Jw_win", Bytes(300, 0)}, {"Ole Private Data", Bytes(120, 2)}}));
    const std::string said = Utf8OfWide(ClickAndDismissMessage(window, control("Button1")));
    EXPECT_EQ(said, std::string(kRejectedCopyMessage) + "\n" + kEarlierDrawingKeptMessage);
    fs::remove(work / "TEMP.VNT");
    EXPECT_EQ(Utf8OfWide(ClickAndDismissMessage(window, control("Button2"))), kStaleConvertMessage);
    EXPECT_FALSE(fs::exists(work / "TEMP.VNT"));

    Send(control("Button4"), BM_CLICK);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    fs::remove_all(work);
}

}  // namespace
