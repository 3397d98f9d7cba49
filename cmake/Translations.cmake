# The program's texts in other languages: po/<lang>.po for each language of
# po/LINGUAS, made into .mo files by msgfmt, which checks them as it goes.
# Linux installs them under share/locale (and a program run from the build
# reads them from locale/ in the build); Windows builds them into the program.
find_program(MSGFMT_PROGRAM msgfmt REQUIRED)
file(READ ${PROJECT_SOURCE_DIR}/po/LINGUAS linguas)
string(REGEX REPLACE "#[^\n]*" "" linguas "${linguas}")
string(REGEX MATCHALL "[^ \t\n]+" CLIPVANE_LANGUAGES "${linguas}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/po/LINGUAS)

set(CLIPVANE_CATALOGS)
foreach(language ${CLIPVANE_LANGUAGES})
  set(folder ${PROJECT_BINARY_DIR}/locale/${language}/LC_MESSAGES)
  add_custom_command(OUTPUT ${folder}/clipvane.mo
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${MSGFMT_PROGRAM} --check -o ${folder}/clipvane.mo ${PROJECT_SOURCE_DIR}/po/${language}.po
    DEPENDS ${PROJECT_SOURCE_DIR}/po/${language}.po VERBATIM)
  list(APPEND CLIPVANE_CATALOGS ${folder}/clipvane.mo)
endforeach()
add_custom_target(clipvane_catalogs ALL DEPENDS ${CLIPVANE_CATALOGS})

# The menu entry and the metainfo with every language merged in.
if(NOT WIN32)
  set(clipvane_po_files)
  foreach(language ${CLIPVANE_LANGUAGES})
    list(APPEND clipvane_po_files ${PROJECT_SOURCE_DIR}/po/${language}.po)
  endforeach()
  set(CLIPVANE_DESKTOP_FILE ${PROJECT_BINARY_DIR}/org.clipvane.Clipvane.desktop)
  set(CLIPVANE_METAINFO_FILE ${PROJECT_BINARY_DIR}/org.clipvane.Clipvane.metainfo.xml)
  add_custom_command(OUTPUT ${CLIPVANE_DESKTOP_FILE}
    COMMAND ${MSGFMT_PROGRAM} --desktop -d ${PROJECT_SOURCE_DIR}/po
      --template=${PROJECT_SOURCE_DIR}/resources/org.clipvane.Clipvane.desktop -o ${CLIPVANE_DESKTOP_FILE}
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/org.clipvane.Clipvane.desktop ${clipvane_po_files} VERBATIM)
  add_custom_command(OUTPUT ${CLIPVANE_METAINFO_FILE}
    COMMAND ${MSGFMT_PROGRAM} --xml -d ${PROJECT_SOURCE_DIR}/po
      --template=${PROJECT_SOURCE_DIR}/resources/org.clipvane.Clipvane.metainfo.xml -o ${CLIPVANE_METAINFO_FILE}
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/org.clipvane.Clipvane.metainfo.xml ${clipvane_po_files} VERBATIM)
  add_custom_target(clipvane_merged_resources ALL DEPENDS ${CLIPVANE_DESKTOP_FILE} ${CLIPVANE_METAINFO_FILE})
endif()
