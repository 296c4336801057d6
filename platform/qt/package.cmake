# Installation and the Debian package: both programs, a desktop entry and an icon.
include(GNUInstallDirs)
install(TARGETS korvel korvel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES platform/qt/korvel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES platform/qt/korvel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES platform/icons/korvel-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME korvel.png)
endforeach()
# .jww and .jws as types of their own, so that file managers offer to open them with Korvel.
install(FILES platform/qt/korvel-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME korvel.xml)
# Debian's documentation: the licence in its machine-readable form and the changelog, compressed.
execute_process(COMMAND gzip -9nc ${CMAKE_CURRENT_SOURCE_DIR}/platform/qt/changelog
                OUTPUT_FILE ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES platform/qt/copyright ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/korvel)
# The manual pages in English, and in Japanese where man looks for a Japanese locale's.
foreach(page korvel.1 korvel-cli.1 ja/korvel.1 ja/korvel-cli.1)
  get_filename_component(language ${page} DIRECTORY)
  string(REPLACE "/" "-" packed ${page})
  execute_process(COMMAND gzip -9nc ${CMAKE_CURRENT_SOURCE_DIR}/doc/${page} OUTPUT_FILE ${CMAKE_BINARY_DIR}/${packed}.gz)
  get_filename_component(name ${page} NAME)
  if(language)
    set(language ${language}/)
  endif()
  install(FILES ${CMAKE_BINARY_DIR}/${packed}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/${language}man1 RENAME ${name}.gz)
endforeach()
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvel)
set(CPACK_PACKAGE_VENDOR Korvel)
set(CPACK_PACKAGE_CONTACT "The Korvel authors <maintainers@korvel.dev>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Converts drawings copied in Jw_cad into Vantra scripts")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvel takes a drawing that the 2-D CAD program Jw_cad has copied to the
clipboard (under Wine) or saved as a .jww or .jws file, previews it, and
converts it into a text script for the 3-D modeller Vantra. The package holds
the window (korvel) and the command-line tool (korvel-cli).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Japanese faces for the preview's texts; Qt's own dialogs in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic, qt6-translations-l10n")
include(CPack)
