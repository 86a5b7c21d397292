# Helpers every folder uses, so a folder's CMakeLists names only what it links.

# corvanta_library(<target> [DEPS <public libs>...] [PRIVATE_DEPS <libs>...])
# A static library of every .cpp in the calling folder.
function(corvanta_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${target} STATIC ${sources})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# corvanta_tests(<target> DEPS <libs>...)
# One GoogleTest program of every .cpp in the calling folder, registered with
# CTest case by case. The shared main (tests/TestMain.cpp) sets the
# environment: headless Qt, CORVANTA_TEST_SOURCE_DIR and CORVANTA_PROGRAM_DIR.
function(corvanta_tests target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${target} ${sources} ${CMAKE_SOURCE_DIR}/tests/TestMain.cpp)
  target_compile_definitions(${target} PRIVATE
    CORVANTA_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    CORVANTA_PROGRAM_DIR="${CORVANTA_PROGRAM_DIR}")
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 120)
endfunction()
