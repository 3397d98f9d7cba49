# `cmake --install` and the Debian package (cpack -G DEB): the program, its
# menu launcher, icon, AppStream metainfo and manual page.
include(GNUInstallDirs)

set(clipvane_id org.clipvane.Clipvane)
install(TARGETS clipvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CLIPVANE_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CLIPVANE_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${PROJECT_BINARY_DIR}/locale/ DESTINATION ${CMAKE_INSTALL_LOCALEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/clipvane.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)

# Manual pages and the package's changelog go compressed, reproducibly.
find_program(GZIP_PROGRAM gzip REQUIRED)
function(clipvane_gzip source target)
  add_custom_command(OUTPUT ${target}
    COMMAND ${GZIP_PROGRAM} -9nc ${source} > ${target}
    DEPENDS ${source} VERBATIM)
endfunction()
set(man_page ${PROJECT_BINARY_DIR}/clipvane.1.gz)
set(changelog ${PROJECT_BINARY_DIR}/changelog.gz)
clipvane_gzip(${PROJECT_SOURCE_DIR}/docs/clipvane.1 ${man_page})
clipvane_gzip(${PROJECT_SOURCE_DIR}/docs/debian/changelog ${changelog})
add_custom_target(clipvane_docs ALL DEPENDS ${man_page} ${changelog})
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${changelog} ${PROJECT_SOURCE_DIR}/docs/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/clipvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME clipvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Clipvane developers <maintainers@users.noreply.c-seed-50f949f0.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert camcorder clips to MP4 for iPhone, iPad and iPod")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Clipvane turns camcorder clips (AVCHD .MTS and .M2TS files) into MP4 files\nthat play on iPhone, iPad and iPod, and puts them on the Desktop. It runs\nffmpeg for each file and shows the progress in a small window.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# ffmpeg does the converting; the Qt platform plugins draw the windows.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ffmpeg, qt6-qpa-plugins")
# Qt's own texts (the OK button, the text boxes' menus) in the user's language;
# Japanese, Chinese and Korean show real glyphs where the font set lacks a CJK
# face (Noto CJK has each language's own forms; WenQuanYi covers all three).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-noto-cjk | fonts-wqy-microhei")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
