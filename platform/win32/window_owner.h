// The object a window was created for, kept in the window's user data, and the class whose messages go to it.
#pragma once

#include <windows.h>

namespace korvel {

template <class Owner>
Owner *WindowOwner(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<Owner *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// A window procedure handing each message to the owner's `handle` once `window` is set, until it is cleared.
template <class Owner, HWND Owner::*window, LRESULT (Owner::*handle)(UINT, WPARAM, LPARAM)>
LRESULT CALLBACK OwnedProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Owner *self = WindowOwner<Owner>(hwnd, message, lParam);
    if (!self || !(self->*window)) return DefWindowProcW(hwnd, message, wParam, lParam);
    return (self->*handle)(message, wParam, lParam);
}

// A window class with the program's icon; `background` 0 paints none.
inline void RegisterWindowClass(HINSTANCE instance, const wchar_t *name, WNDPROC procedure, LPCWSTR cursor, UINT style,
                                HBRUSH background) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, cursor);
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(
        instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

}  // namespace korvel
