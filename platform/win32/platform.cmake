# The Windows platform layer: the GDI canvas of the preview, the Win32 clipboard and the native window.
add_library(korvel_platform STATIC platform/win32/gdi_canvas.cpp platform/win32/png_writer.cpp
  platform/win32/wide_text.cpp platform/win32/win32_clipboard.cpp platform/win32/system_clipboard.cpp
  platform/win32/win32_clipboard_watch.cpp platform/win32/gdi_view_surface.cpp)
target_link_libraries(korvel_platform PUBLIC korvel_core gdi32 user32)
# The CP932 table and the system's files as Windows has them, for the core; korvel-cli's entry point.
target_sources(korvel_core PRIVATE platform/win32/system_files.cpp platform/win32/cp932_win32.cpp
  platform/win32/large_pages.cpp)
set(KORVEL_CLI_ENTRY platform/win32/cli_entry.cpp)
add_library(korvel_win32_window STATIC platform/win32/main_window.cpp platform/win32/view_window.cpp)
target_link_libraries(korvel_win32_window PUBLIC korvel_platform shell32 comctl32 comdlg32 ole32)

enable_language(RC)

# What every Windows program of ours gets: wide-character entry points and a resource with the icon, the
# version and, for a window, the manifest (visual styles, DPI awareness).
function(korvel_platform_program target description)
  target_link_options(${target} PRIVATE -municode)
  set(KORVEL_PROGRAM ${target})
  set(KORVEL_DESCRIPTION ${description})
  set(KORVEL_ICON ${PROJECT_SOURCE_DIR}/platform/icons/korvel.ico)
  set(KORVEL_MANIFEST_LINE "")
  if(ARGV2 STREQUAL "WINDOW")
    set(KORVEL_MANIFEST_LINE "1 RT_MANIFEST \"${PROJECT_SOURCE_DIR}/platform/win32/korvel.manifest\"")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/platform/win32/version.rc.in ${CMAKE_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/${target}.rc)
endfunction()

add_executable(Korvel WIN32 platform/win32/korvel_main.cpp)
target_link_libraries(Korvel PRIVATE korvel_win32_window)
korvel_platform_program(Korvel "Korvel: Jw_cad drawings to Vantra scripts" WINDOW)
