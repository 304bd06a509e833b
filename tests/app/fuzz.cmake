# Fuzzers for the settings-file and list-store readers (included by fuzz/CMakeLists.txt).
set(_app_src ${CMAKE_SOURCE_DIR}/src/app)
lumba_add_fuzzer(NAME fuzz_settings_reader SECONDS 10
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_settings.cpp ${_app_src}/settings_file.cpp
            ${_app_src}/value_text.cpp
    SEEDS ${CMAKE_CURRENT_LIST_DIR}/fuzz_seeds/settings)
lumba_add_fuzzer(NAME fuzz_list_store_reader SECONDS 10
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_list_store.cpp ${_app_src}/list_store.cpp
            ${_app_src}/value_text.cpp ${CMAKE_SOURCE_DIR}/src/lists/play_list.cpp
    SEEDS ${CMAKE_CURRENT_LIST_DIR}/fuzz_seeds/lists)
foreach(_f fuzz_settings_reader fuzz_list_store_reader)
    target_include_directories(${_f} PRIVATE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${_f} PRIVATE Qt6::Core)
endforeach()
