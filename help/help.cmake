# The help documents and their pictures, copied beside the program as they are installed.
# The pictures are made by help/make_pictures.sh and kept in the repository.
set(LUMBA_HELP_DOCUMENTS Lumba.FLV.html Raroz.ODI.html Raroz.ODI.install.html)
set(LUMBA_HELP_PICTURES
    main.png capture.png list-playlist.png list-marks.png list-files.png list-join.png
    list-split.png list-snapshot.png list-fix.png list-flv-video.png list-flv-music.png)

set(_help_sources)
set(_help_outputs)
foreach(_doc ${LUMBA_HELP_DOCUMENTS})
    list(APPEND _help_sources ${PROJECT_SOURCE_DIR}/help/${_doc})
    list(APPEND _help_outputs ${CMAKE_BINARY_DIR}/bin/${_doc})
endforeach()
foreach(_pic ${LUMBA_HELP_PICTURES})
    list(APPEND _help_sources ${PROJECT_SOURCE_DIR}/help/pictures/${_pic})
    list(APPEND _help_outputs ${CMAKE_BINARY_DIR}/bin/pictures/${_pic})
endforeach()
set(_help_copies)
foreach(_src _out IN ZIP_LISTS _help_sources _help_outputs)
    list(APPEND _help_copies COMMAND ${CMAKE_COMMAND} -E copy ${_src} ${_out})
endforeach()
add_custom_command(
    OUTPUT ${_help_outputs}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/bin/pictures
    ${_help_copies}
    DEPENDS ${_help_sources}
    COMMENT "Copying the help documents beside the program"
    VERBATIM)
add_custom_target(help_documents ALL DEPENDS ${_help_outputs})
