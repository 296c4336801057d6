# The Windows platform layer: the GDI canvas of the preview, the Win32 clipboard and the native window.
add_library(korvel_canvas STATIC platform/win32/gdi_canvas.cpp platform/win32/png_writer.cpp
  platform/win32/wide_text.cpp)
target_link_libraries(korvel_canvas PUBLIC korvel_core gdi32)
add_library(korvel_win32_window STATIC platform/win32/main_window.cpp platform/win32/win32_clipboard.cpp)
target_link_libraries(korvel_win32_window PUBLIC korvel_canvas user32 shell32)

add_executable(Korvel WIN32 platform/win32/korvel_main.cpp)
target_link_libraries(Korvel PRIVATE korvel_win32_window)
target_link_options(Korvel PRIVATE -municode)
