# Included from fuzz/CMakeLists.txt.
lumba_add_fuzzer(NAME fuzz_item_text SOURCES ${CMAKE_CURRENT_LIST_DIR}/item_text_fuzz.cpp
                 LIBS lumba_items SECONDS 10 SEEDS ${CMAKE_CURRENT_LIST_DIR}/fuzz-seeds)
