# Windows only, under Wine: the real clipboard, and Korvel.exe driven through its window.
korvel_test(win32_clipboard_test)
target_link_libraries(win32_clipboard_test PRIVATE korvel_win32_window)
korvel_test(win32_window_test)
target_link_libraries(win32_window_test PRIVATE korvel_win32_window version)
set_tests_properties(win32_window_test PROPERTIES ENVIRONMENT
  "KORVEL_EXE=$<TARGET_FILE:Korvel>;KORVEL_CLI=$<TARGET_FILE:korvel-cli>;KORVEL_SCREENSHOT=${CMAKE_BINARY_DIR}/korvel-window-win32.png")
