# The Windows platform layer: the GDI canvas of the preview, the Win32 clipboard and the native window.
add_library(korvel_platform STATIC platform/win32/gdi_canvas.cpp platform/win32/png_writer.cpp
  platform/win32/wide_text.cpp platform/win32/win32_clipboard.cpp platform/win32/system_clipboard.cpp)
target_link_libraries(korvel_platform PUBLIC korvel_core gdi32 user32)
# korvel-cli links the layer directly (no Qt here, nothing to load late).
add_library(korvel_cli_platform ALIAS korvel_platform)
add_library(korvel_win32_window STATIC platform/win32/main_window.cpp)
target_link_libraries(korvel_win32_window PUBLIC korvel_platform shell32 comctl32 comdlg32)

add_executable(Korvel WIN32 platform/win32/korvel_main.cpp)
target_link_libraries(Korvel PRIVATE korvel_win32_window)
target_link_options(Korvel PRIVATE -municode)
