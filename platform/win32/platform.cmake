# The Windows platform layer: the GDI canvas of the preview, the Win32 clipboard and the native window.
add_library(korvel_canvas STATIC platform/win32/gdi_canvas.cpp platform/win32/png_writer.cpp
  platform/win32/wide_text.cpp)
target_link_libraries(korvel_canvas PUBLIC korvel_core gdi32)
