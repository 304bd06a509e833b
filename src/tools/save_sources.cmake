# Save marked segments: the command plan and the job.
target_sources(lumba_tools PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/save_plan.cpp ${CMAKE_CURRENT_LIST_DIR}/save_plan.h
    ${CMAKE_CURRENT_LIST_DIR}/save_segments.cpp ${CMAKE_CURRENT_LIST_DIR}/save_segments.h
)

# Its tests live in tests/tools/save, which tests/tools/CMakeLists.txt adds. Should that line
# be missing, they are still included at the end of the top-level configuration (where they
# miss only the sanitizer build's list); the tests' file skips itself when already added.
if(LUMBA_TESTS AND EXISTS ${CMAKE_SOURCE_DIR}/tests/tools/save/CMakeLists.txt)
    cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL include
        ${CMAKE_SOURCE_DIR}/tests/tools/save/CMakeLists.txt)
endif()
