# Included from fuzz/CMakeLists.txt.
if(TARGET lumba_marks)
    lumba_add_fuzzer(NAME fuzz_marks_text SOURCES ${CMAKE_CURRENT_LIST_DIR}/marks_text_fuzz.cpp
                     LIBS lumba_marks SECONDS 10 SEEDS ${CMAKE_CURRENT_LIST_DIR}/fuzz-seeds)
endif()
