// Clipboard changes on Windows: a clipboard format listener, told by WM_CLIPBOARDUPDATE.
#include <windows.h>

#include <memory>

#include "platform/system_clipboard.h"

namespace korvel {

namespace {

// How often a wait looks at its stop flag: a signal ends it within this time.
constexpr DWORD kStopCheckMilliseconds = 100;
constexpr const wchar_t *kListenerClass = L"KorvelClipboardListener";

class Win32ClipboardChanges final : public ClipboardChanges {
public:
    explicit Win32ClipboardChanges(HWND window) : window(window) {
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Win32ClipboardChanges() override {
        RemoveClipboardFormatListener(window);
        DestroyWindow(window);
    }

    bool WaitForChange(const volatile std::sig_atomic_t &stop) override {
        changed = false;
        while (!stop && !changed) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, kStopCheckMilliseconds, QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
        }
        return changed && !stop;
    }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_CLIPBOARDUPDATE) {
            if (auto *self = reinterpret_cast<Win32ClipboardChanges *>(GetWindowLongPtrW(window, GWLP_USERDATA)))
                self->changed = true;
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

private:
    HWND window;
    bool changed = false;
};

}  // namespace

Result<std::unique_ptr<ClipboardChanges>> WatchSystemClipboard() {
    WNDCLASSEXW listenerClass{};
    listenerClass.cbSize = sizeof listenerClass;
    listenerClass.lpfnWndProc = &Win32ClipboardChanges::Procedure;
    listenerClass.hInstance = GetModuleHandleW(nullptr);
    listenerClass.lpszClassName = kListenerClass;
    RegisterClassExW(&listenerClass);
    const HWND window = CreateWindowExW(0, kListenerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    if (!window || !AddClipboardFormatListener(window)) {
        if (window) DestroyWindow(window);
        return {nullptr, "the clipboard cannot be watched (no clipboard format listener)"};
    }
    return {std::make_unique<Win32ClipboardChanges>(window), std::nullopt};
}

}  // namespace korvel
