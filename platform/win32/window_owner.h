// The object a window was created for: its creation parameter, kept in the window's user data.
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

}  // namespace korvel
