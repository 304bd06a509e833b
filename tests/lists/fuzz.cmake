# Included from fuzz/CMakeLists.txt: the play list file readers.
lumba_add_fuzzer(NAME fuzz_list_formats SECONDS 10
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/list_formats_fuzz.cpp
            ${CMAKE_SOURCE_DIR}/src/lists/list_formats.cpp
    LIBS lumba_items lumba_common SEEDS ${CMAKE_CURRENT_LIST_DIR}/fuzz-seeds)
target_include_directories(fuzz_list_formats PRIVATE ${CMAKE_SOURCE_DIR}/src)
