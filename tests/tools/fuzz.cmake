# Included from fuzz/CMakeLists.txt: the movie readers of the tools, built from their own
# sources so that the rest of the tools library is not built again for fuzzing.
add_executable(fuzz_movie_seeds ${CMAKE_CURRENT_LIST_DIR}/movie_seeds.cpp)
set(_tools_src ${CMAKE_SOURCE_DIR}/src/tools)
lumba_add_fuzzer(NAME fuzz_movie_reader SECONDS 20 SEED_GENERATOR fuzz_movie_seeds
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/movie_fuzz.cpp ${_tools_src}/movie_box.cpp
            ${_tools_src}/movie_keys.cpp ${_tools_src}/splice_point.cpp
            ${_tools_src}/save_plan.cpp ${_tools_src}/command.cpp
            ${_tools_src}/ffmpeg_batch.cpp ${_tools_src}/tool_texts.cpp
            ${_tools_src}/tool_failure.cpp
    LIBS lumba_flv lumba_common)
target_include_directories(fuzz_movie_reader PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(fuzz_movie_reader PRIVATE Qt6::Core)
