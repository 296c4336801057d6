# The Linux platform layer: the Qt canvas of the preview, the X11 clipboard and the window.
find_package(Qt6 REQUIRED COMPONENTS Gui Widgets)
find_package(PkgConfig REQUIRED)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
add_library(korvel_platform STATIC platform/qt/qt_canvas.cpp platform/qt/qt_fonts.cpp platform/qt/x11_clipboard.cpp
  platform/qt/x11_selection.cpp platform/qt/system_clipboard.cpp)
target_link_libraries(korvel_platform PUBLIC korvel_core Qt6::Gui PkgConfig::XCB)
# korvel-cli reaches the canvas and the clipboard through a module it loads on first use, so that its
# other commands start without Qt's libraries; the module holds the core again, hence position-independent.
set_target_properties(korvel_core korvel_platform PROPERTIES POSITION_INDEPENDENT_CODE ON)
add_library(korvel_qt_module MODULE platform/qt/platform_module.cpp)
target_link_libraries(korvel_qt_module PRIVATE korvel_platform)
set_target_properties(korvel_qt_module PROPERTIES OUTPUT_NAME korvel-qt PREFIX "" LIBRARY_OUTPUT_DIRECTORY
  ${CMAKE_BINARY_DIR})
add_library(korvel_cli_platform STATIC platform/qt/platform_loader.cpp)
target_link_libraries(korvel_cli_platform PUBLIC korvel_core ${CMAKE_DL_LIBS})
add_dependencies(korvel_cli_platform korvel_qt_module)
add_library(korvel_qt_window STATIC platform/qt/main_window.cpp)
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
