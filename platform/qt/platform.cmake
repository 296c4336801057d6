# The Linux platform layer: the Qt canvas of the preview, the X11 clipboard and the window.
find_package(Qt6 REQUIRED COMPONENTS Gui Widgets)
find_package(PkgConfig REQUIRED)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
pkg_check_modules(XCB_XFIXES REQUIRED IMPORTED_TARGET xcb-xfixes)
add_library(korvel_platform STATIC platform/qt/qt_canvas.cpp platform/qt/qt_fonts.cpp platform/qt/x11_clipboard.cpp
  platform/qt/x11_selection.cpp platform/qt/system_clipboard.cpp platform/qt/gui_application.cpp
  platform/qt/x11_clipboard_watch.cpp platform/qt/qt_view_surface.cpp)
target_link_libraries(korvel_platform PUBLIC korvel_core Qt6::Gui PkgConfig::XCB PkgConfig::XCB_XFIXES)
# The CP932 table and the system's files as POSIX has them, for the core; korvel-cli's entry point.
target_sources(korvel_core PRIVATE platform/posix/system_files.cpp platform/posix/cp932_iconv.cpp
  platform/posix/large_pages.cpp)
set(KORVEL_CLI_ENTRY platform/posix/cli_entry.cpp)
add_library(korvel_qt_window STATIC platform/qt/main_window.cpp platform/qt/view_window.cpp)
target_link_libraries(korvel_qt_window PUBLIC korvel_platform Qt6::Widgets)

add_executable(korvel platform/qt/korvel_main.cpp)
target_link_libraries(korvel PRIVATE korvel_qt_window)
target_compile_definitions(korvel PRIVATE KORVEL_VERSION="${PROJECT_VERSION}")
qt_add_resources(korvel_qt_window icons PREFIX /icons BASE platform/icons FILES platform/icons/korvel-16.png
  platform/icons/korvel-24.png platform/icons/korvel-32.png platform/icons/korvel-48.png platform/icons/korvel-64.png
  platform/icons/korvel-128.png platform/icons/korvel-256.png)

# What each program needs from this platform beyond its sources: nothing here (on Windows, its resources).
function(korvel_platform_program target description)
endfunction()
