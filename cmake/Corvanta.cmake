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
# Every test program links the shared fixtures of tests/support.
function(corvanta_tests target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${target} ${sources} ${CMAKE_SOURCE_DIR}/tests/TestMain.cpp)
  target_compile_definitions(${target} PRIVATE
    CORVANTA_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    CORVANTA_PROGRAM_DIR="${CORVANTA_PROGRAM_DIR}")
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} test_support GTest::gtest GTest::gmock)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 120)
endfunction()

# corvanta_resources(<target> [FUNCTION <name>] <files>...)
# Compiles bitmaps, icons and cursors into the target as resources of the
# program's module, found by LoadBitmap, TBitmap::LoadFromResourceName,
# LoadIcon and LoadCursor(HInstance, "NAME"). A file's name without its
# extension, in upper case, is the resource name (cvgrid_arrow.bmp is
# "CVGRID_ARROW"); .bmp and .png files are bitmaps, .ico files icons, .cur
# files cursors. The build writes one source of the files' bytes and adds it
# to the target's own sources. For an executable it registers them before
# main, so the linker always keeps it. A library names a FUNCTION instead:
# the source then defines void <name>(), which registers them (once, however
# often it is called), and the library's start-up calls it, which keeps it
# linked. Call it once per target, with all its files.
function(corvanta_resources target)
  cmake_parse_arguments(ARG "" "FUNCTION" "" ${ARGN})
  get_target_property(done ${target} CORVANTA_RESOURCES)
  if(done)
    message(FATAL_ERROR "corvanta_resources: ${target} already has its resources; name all files in one call")
  endif()
  set_target_properties(${target} PROPERTIES CORVANTA_RESOURCES ON)
  set(entries)
  set(names)
  set(paths)
  foreach(file IN LISTS ARG_UNPARSED_ARGUMENTS)
    get_filename_component(path ${file} ABSOLUTE)
    get_filename_component(name ${path} NAME_WLE)
    get_filename_component(extension ${path} LAST_EXT)
    string(TOUPPER "${name}" name)
    string(TOLOWER "${extension}" extension)
    if(extension STREQUAL ".bmp" OR extension STREQUAL ".png")
      set(type Bitmap)
    elseif(extension STREQUAL ".ico")
      set(type Icon)
    elseif(extension STREQUAL ".cur")
      set(type Cursor)
    else()
      message(FATAL_ERROR "corvanta_resources: ${file} is neither a bitmap (.bmp, .png), an icon (.ico) nor a cursor (.cur)")
    endif()
    if(NOT name MATCHES "^[A-Z0-9_]+$")
      message(FATAL_ERROR "corvanta_resources: ${file}: a resource name takes letters, digits and _ only")
    endif()
    if("${type}:${name}" IN_LIST names)
      message(FATAL_ERROR "corvanta_resources: two ${type} resources named ${name}")
    endif()
    list(APPEND names "${type}:${name}")
    list(APPEND entries "${type}:${name}:${path}")
    list(APPEND paths ${path})
  endforeach()
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} "-DCORVANTA_RESOURCE_OUTPUT=${output}" "-DCORVANTA_RESOURCE_ENTRIES=${entries}"
            "-DCORVANTA_RESOURCE_FUNCTION=${ARG_FUNCTION}" -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    DEPENDS ${paths} ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMENT "Compiling the resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()

# The build step of corvanta_resources(): run as a script, this file writes
# the source of the entries (type:NAME:path) it is given.
if(CMAKE_SCRIPT_MODE_FILE AND DEFINED CORVANTA_RESOURCE_OUTPUT)
  set(arrays "")
  set(registrations "")
  set(index 0)
  string(REPEAT "0x..," 16 line) # sixteen bytes a line
  foreach(entry IN LISTS CORVANTA_RESOURCE_ENTRIES)
    string(REGEX MATCH "^([A-Za-z]+):([A-Z0-9_]+):(.*)$" matched "${entry}")
    set(type ${CMAKE_MATCH_1})
    set(name ${CMAKE_MATCH_2})
    set(path ${CMAKE_MATCH_3})
    file(READ ${path} bytes HEX)
    if(bytes STREQUAL "")
      message(FATAL_ERROR "corvanta_resources: ${path} is empty")
    endif()
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
    string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
    string(APPEND arrays "// ${name}: ${path}\nconst Byte Resource${index}[] = {\n    ${bytes}\n};\n\n")
    string(APPEND registrations
           "        RegisterResource(TResourceType::${type}, \"${name}\", Resource${index}, sizeof Resource${index});\n")
    math(EXPR index "${index} + 1")
  endforeach()
  if(CORVANTA_RESOURCE_FUNCTION)
    string(CONCAT registration
        "} // namespace\n\nvoid ${CORVANTA_RESOURCE_FUNCTION}() {\n"
        "    static const bool registered = [] {\n${registrations}        return true;\n    }();\n"
        "    (void)registered;\n}\n")
  else()
    string(CONCAT registration
        "struct Registration {\n    Registration() {\n${registrations}    }\n};\n\n"
        "const Registration registration;\n\n} // namespace\n")
  endif()
  file(WRITE ${CORVANTA_RESOURCE_OUTPUT}.tmp
       "// Written by corvanta_resources() from the files named below; the build writes it again when they change.\n"
       "#include \"platform/ui/Resources.h\"\n\nnamespace {\n\n${arrays}${registration}")
  file(RENAME ${CORVANTA_RESOURCE_OUTPUT}.tmp ${CORVANTA_RESOURCE_OUTPUT})
endif()
