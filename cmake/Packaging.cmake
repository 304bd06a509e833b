# Installation and the Debian package.
#
# The three programs stay together in one program folder, where they find each other as in
# the build folder; a link on the PATH starts the player. The desktop entry, the AppStream
# metainfo and the icons make it a citizen of the desktop's menus and "open with" lists.

set(LUMBA_APP_ID org.example.lumba.flv)
set(LUMBA_PROGRAM_DIR lib/lumba-flv)
set(LUMBA_LAUNCHER lumba-flv)
set(LUMBA_ICON_SIZES 16 22 24 32 48 64 128 256)

install(TARGETS Lumba.FLV LumbaResFLV flvmdi RUNTIME DESTINATION ${LUMBA_PROGRAM_DIR})
# The help commands open the documents beside the player.
list(TRANSFORM LUMBA_HELP_DOCUMENTS PREPEND ${PROJECT_SOURCE_DIR}/help/ OUTPUT_VARIABLE _docs)
list(TRANSFORM LUMBA_HELP_PICTURES PREPEND ${PROJECT_SOURCE_DIR}/help/pictures/
     OUTPUT_VARIABLE _pictures)
install(FILES ${_docs} DESTINATION ${LUMBA_PROGRAM_DIR})
install(FILES ${_pictures} DESTINATION ${LUMBA_PROGRAM_DIR}/pictures)

# A relative link keeps working wherever the tree is installed or unpacked; the player finds
# its folder through the link (the kernel names the real file), not through the PATH.
set(_launcher ${CMAKE_BINARY_DIR}/launcher/${LUMBA_LAUNCHER})
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/launcher)
file(CREATE_LINK ../${LUMBA_PROGRAM_DIR}/Lumba.FLV ${_launcher} SYMBOLIC)
install(FILES ${_launcher} DESTINATION bin)

install(FILES ${PROJECT_SOURCE_DIR}/dist/${LUMBA_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/dist/${LUMBA_APP_ID}.metainfo.xml DESTINATION share/metainfo)

# The icon is drawn in code; a small tool writes it at the sizes of the hicolor theme.
add_executable(icon_png ${PROJECT_SOURCE_DIR}/dist/icon_png.cpp)
target_link_libraries(icon_png PRIVATE lumba_controls Qt6::Gui lumba_options)
set_target_properties(icon_png PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/dist)
set(_icons ${CMAKE_BINARY_DIR}/icons/hicolor)
set(_icon_files)
foreach(_size ${LUMBA_ICON_SIZES})
    list(APPEND _icon_files ${_icons}/${_size}x${_size}/apps/${LUMBA_APP_ID}.png)
endforeach()
add_custom_command(
    OUTPUT ${_icon_files}
    COMMAND icon_png ${_icons} ${LUMBA_APP_ID} ${LUMBA_ICON_SIZES}
    DEPENDS icon_png
    COMMENT "Drawing the program icon for the icon theme"
    VERBATIM)
add_custom_target(desktop_icons ALL DEPENDS ${_icon_files})
install(DIRECTORY ${_icons} DESTINATION share/icons)

# ./package.sh builds the .deb. The libraries of the programs are found by dpkg-shlibdeps;
# what it cannot see is declared: the ffmpeg that LumbaResFLV carries as data needs the
# ffmpeg libraries, Qt needs its platform plugins to show a window and its translations for
# the standard dialogs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumba-flv)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Lumba <lumba@lumba.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "FLV player and lossless editor")
set(CPACK_PACKAGE_DESCRIPTION
    "A media player built around FLV files: mark segments while playing and save them\n\
without re-encoding, joined into one file or each to a file of its own; split, join,\n\
repair and convert FLV files. The interface is in Traditional Chinese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://lumba.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ffmpeg, qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk, xdg-utils")
include(CPack)
