# One interface target carries the warnings, the sanitizers and the Qt macros for every room.
add_library(lumba_options INTERFACE)
target_compile_options(lumba_options INTERFACE -Wall -Wextra)
# In a unity build every source but the first of a batch counts as a header to GCC, which then
# warns about each test fixture kept in an anonymous namespace; that warning is for headers.
if(CMAKE_UNITY_BUILD AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(lumba_options INTERFACE -Wno-subobject-linkage)
endif()
target_compile_definitions(lumba_options INTERFACE
    QT_NO_CAST_FROM_BYTEARRAY QT_NO_URL_CAST_FROM_STRING)
if(LUMBA_SANITIZE)
    target_compile_options(lumba_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(lumba_options INTERFACE -fsanitize=address,undefined)
endif()

# lumba_add_test(NAME <exe> KIND unit|media|window SOURCES ... LIBS ... [NOGUI] [SLOW]
#                [TIMEOUT s])
# KIND says what the tests touch, as a label for ctest -L:
#   unit    only this process: no child process, no mpv player, no window; runs in seconds
#   media   real programs and media: ffmpeg, flvmdi, mpv or other child processes
#   window  builds windows (offscreen), whatever else it runs
# NOGUI marks a test executable that needs no window; the sanitizer build runs those.
function(lumba_add_test)
    cmake_parse_arguments(T "NOGUI;SLOW" "NAME;KIND;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT T_KIND MATCHES "^(unit|media|window)$")
        message(FATAL_ERROR "lumba_add_test(${T_NAME}): KIND must be unit, media or window")
    endif()
    if(T_KIND STREQUAL "unit" AND NOT T_NOGUI)
        message(FATAL_ERROR "lumba_add_test(${T_NAME}): a unit test needs no window, mark it NOGUI")
    endif()
    if(T_KIND STREQUAL "window" AND T_NOGUI)
        message(FATAL_ERROR "lumba_add_test(${T_NAME}): a window test cannot be NOGUI")
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main lumba_options)
    target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    set(_labels gui)
    if(T_NOGUI)
        set(_labels nogui)
        set_property(GLOBAL APPEND PROPERTY LUMBA_NOGUI_TESTS ${T_NAME})
        # The full run builds these once, in the sanitizer build.
        if(NOT LUMBA_NOGUI_TESTS_IN_ALL)
            set_target_properties(${T_NAME} PROPERTIES EXCLUDE_FROM_ALL ON)
        endif()
    endif()
    # The environment rides on the test launcher: a list in gtest_discover_tests' PROPERTIES
    # would be split apart on its way into the generated test file.
    set_target_properties(${T_NAME} PROPERTIES CROSSCOMPILING_EMULATOR
        "/usr/bin/env;QT_QPA_PLATFORM=offscreen;LUMBA_TEST_MEDIA=${CMAKE_BINARY_DIR}/test-media;LUMBA_BIN_DIR=${CMAKE_BINARY_DIR}/bin;ASAN_OPTIONS=detect_leaks=0")
    gtest_discover_tests(${T_NAME}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        # Our parameter sets carry names: keep those, without gtest's dump of the value.
        NO_PRETTY_VALUES
        PROPERTIES LABELS "${_labels}" TIMEOUT ${T_TIMEOUT})
    # The kind joins the label for the same reason: a list of labels would not survive
    # PROPERTIES. CTest reads this file after the discovered tests, whose names it finds in
    # ${T_NAME}_TESTS.
    # SLOW tests start first, so that a parallel run does not end waiting on one of them.
    set(_file ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_labels.cmake)
    list(APPEND _labels ${T_KIND})
    set(_cost "")
    if(T_SLOW)
        set(_cost "COST 1000")
    endif()
    file(CONFIGURE OUTPUT ${_file} @ONLY CONTENT [[
if(@T_NAME@_TESTS)
    set_tests_properties(${@T_NAME@_TESTS} PROPERTIES LABELS "@_labels@" @_cost@)
endif()
]])
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${_file})
endfunction()
