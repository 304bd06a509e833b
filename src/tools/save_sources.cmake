# Save marked segments: the command plan and the job.
target_sources(lumba_tools PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/save_plan.cpp ${CMAKE_CURRENT_LIST_DIR}/save_plan.h
    ${CMAKE_CURRENT_LIST_DIR}/save_segments.cpp ${CMAKE_CURRENT_LIST_DIR}/save_segments.h
)

# Its tests live in tests/tools/save; the tools tests include them once that room has its own
# CMakeLists.txt. Until then they are added at the end of the top-level configuration.
if(LUMBA_TESTS AND NOT EXISTS ${CMAKE_SOURCE_DIR}/tests/tools/CMakeLists.txt
   AND EXISTS ${CMAKE_SOURCE_DIR}/tests/tools/save/CMakeLists.txt)
    cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL include
        ${CMAKE_SOURCE_DIR}/tests/tools/save/CMakeLists.txt)
endif()
