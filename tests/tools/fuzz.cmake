# Included from fuzz/CMakeLists.txt: the movie readers of the tools.
add_executable(fuzz_movie_seeds ${CMAKE_CURRENT_LIST_DIR}/movie_seeds.cpp)
lumba_add_fuzzer(NAME fuzz_movie_reader SOURCES ${CMAKE_CURRENT_LIST_DIR}/movie_fuzz.cpp
                 LIBS lumba_tools SECONDS 20 SEED_GENERATOR fuzz_movie_seeds)
