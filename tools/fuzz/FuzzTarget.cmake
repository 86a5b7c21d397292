# corvanta_fuzz_target(<name> SOURCES <files>... [DEPS <libs>...] [SEEDS <folders>...])
# A fuzz target: SOURCES define LLVMFuzzerTestOneInput (and may define
# LLVMFuzzerInitialize). Its committed corpus, seeds and the inputs of past
# findings, is tests/fuzz/<name>/; SEEDS names further read-only folders of
# inputs (fixtures kept elsewhere).
# The ordinary build makes <name>_replay, which feeds every file of the corpus
# to the target once, and CTest runs it as FuzzReplay.<name>: no clang needed.
# With CORVANTA_FUZZ=ON (clang, the whole tree instrumented, see the top
# CMakeLists) it makes the libFuzzer program fuzz/<name> instead, and a list
# of its corpus folders beside it for tools/fuzz/run.sh.
set(CORVANTA_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})

function(corvanta_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;SEEDS" ${ARGN})
  set(corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/${name} ${ARG_SEEDS})
  foreach(folder IN LISTS corpus)
    if(NOT IS_DIRECTORY ${folder})
      message(FATAL_ERROR "corvanta_fuzz_target(${name}): no corpus folder ${folder}")
    endif()
  endforeach()
  if(CORVANTA_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    list(JOIN corpus "\n" lines)
    file(WRITE ${CMAKE_BINARY_DIR}/fuzz/${name}.corpus "${lines}\n")
  else()
    add_executable(${name}_replay ${ARG_SOURCES} ${CORVANTA_FUZZ_DIR}/ReplayMain.cpp)
    target_link_libraries(${name}_replay PRIVATE ${ARG_DEPS})
    add_test(NAME FuzzReplay.${name} COMMAND ${name}_replay ${corpus})
  endif()
endfunction()
