# One interface target carries the warnings, the sanitizers and the Qt macros for every room.
add_library(lumba_options INTERFACE)
target_compile_options(lumba_options INTERFACE -Wall -Wextra)
target_compile_definitions(lumba_options INTERFACE
    QT_NO_CAST_FROM_BYTEARRAY QT_NO_URL_CAST_FROM_STRING)
if(LUMBA_SANITIZE)
    target_compile_options(lumba_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(lumba_options INTERFACE -fsanitize=address,undefined)
endif()

# lumba_add_test(NAME <exe> SOURCES ... LIBS ... [NOGUI] [TIMEOUT s])
# NOGUI marks a test executable that needs no window; the sanitizer build runs those.
function(lumba_add_test)
    cmake_parse_arguments(T "NOGUI" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
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
endfunction()
