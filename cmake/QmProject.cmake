# Project-wide compile settings and the helpers every folder uses.

add_library(qm_options INTERFACE)
target_compile_options(qm_options INTERFACE
  -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers
  $<$<COMPILE_LANGUAGE:CXX>:-Wno-class-memaccess>)
target_include_directories(qm_options INTERFACE ${CMAKE_SOURCE_DIR})
if(WIN32)
  # ANSI Win32 API throughout: strings are in the system code page.
  target_compile_definitions(qm_options INTERFACE WINVER=0x0601 _WIN32_WINNT=0x0601
    WIN32_LEAN_AND_MEAN NOMINMAX)
endif()

# qm_library(name SOURCES ... [WIN32_SOURCES ...] [DEPS ...])
# One static library per folder; Windows-only files are added only to that build.
function(qm_library name)
  cmake_parse_arguments(A "" "" "SOURCES;WIN32_SOURCES;POSIX_SOURCES;DEPS" ${ARGN})
  set(src ${A_SOURCES})
  if(WIN32)
    list(APPEND src ${A_WIN32_SOURCES})
  else()
    list(APPEND src ${A_POSIX_SOURCES})
  endif()
  add_library(qm_${name} STATIC ${src})
  target_link_libraries(qm_${name} PUBLIC qm_options ${A_DEPS})
endfunction()

if(WIN32)
  set(QM_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
  # The tree as Windows programs under Wine see it (drive Z: is the root).
  string(REPLACE "/" "\\" QM_TREE_WIN "Z:${QM_TREE}")
endif()

# qm_dll(name SOURCES ... [DEF file.def] [DEPS ...])
# A library of the product: no "lib" prefix, placed in the installation tree,
# exports named by its .def file (undecorated).
function(qm_dll name)
  cmake_parse_arguments(A "" "DEF" "SOURCES;DEPS" ${ARGN})
  add_library(${name} SHARED ${A_SOURCES} ${A_DEF})
  set_target_properties(${name} PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${QM_TREE})
  target_link_libraries(${name} PRIVATE qm_options ${A_DEPS})
endfunction()

# qm_tree_program(name MAIN file LIBS ... SOURCES ... TARGET target COMMENT text)
# A build-machine program, tools/<name>/<name>, that writes its pictures into
# the installation tree (run as "<name> TREE"; target <name>_tool). A cross
# build has no host programs of its own and runs the native build's copy
# (QM_HOST_<NAME>), rerunning it when SOURCES change; without one the tree
# goes without those pictures.
function(qm_tree_program name)
  cmake_parse_arguments(A "" "MAIN;TARGET;COMMENT" "LIBS;SOURCES" ${ARGN})
  string(TOUPPER ${name} upper)
  if(NOT WIN32)
    add_executable(${name}_tool ${A_MAIN})
    set_target_properties(${name}_tool PROPERTIES OUTPUT_NAME ${name})
    target_link_libraries(${name}_tool PRIVATE ${A_LIBS})
    set(run $<TARGET_FILE:${name}_tool>)
    set(deps ${name}_tool)
  else()
    set(QM_HOST_${upper} ${CMAKE_SOURCE_DIR}/build/native/tools/${name}/${name} CACHE FILEPATH
      "native ${name} program for the installation tree of a cross build")
    if(EXISTS ${QM_HOST_${upper}})
      set(run ${QM_HOST_${upper}})
    else()
      message(STATUS "${name}: no native ${name} program, the tree goes without its pictures")
    endif()
    set(deps ${A_SOURCES})
  endif()
  if(run)
    add_custom_command(
      OUTPUT ${QM_GENERATED}/${name}.stamp
      COMMAND ${run} ${QM_TREE}
      COMMAND ${CMAKE_COMMAND} -E touch ${QM_GENERATED}/${name}.stamp
      DEPENDS ${deps}
      COMMENT "${A_COMMENT}"
      VERBATIM)
    add_custom_target(${A_TARGET} ALL DEPENDS ${QM_GENERATED}/${name}.stamp)
  endif()
endfunction()

# qm_unit_tests(name SOURCES ... LIBS ...)
# The same unit tests run natively and, in the Windows build, under Wine.
function(qm_unit_tests name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name}_tests ${A_SOURCES})
  target_link_libraries(${name}_tests PRIVATE qm_testing ${A_LIBS})
  # Whole-program sessions are not unit tests: they run apart under their own label.
  if("e2e" IN_LIST A_LABELS)
    set(labels ${A_LABELS})
  else()
    set(labels unit ${A_LABELS})
  endif()
  if(WIN32)
    add_test(NAME ${name} COMMAND ${name}_tests)
    set_tests_properties(${name} PROPERTIES LABELS "${labels};wine" FIXTURES_REQUIRED wine
      ENVIRONMENT "QM_TREE=${QM_TREE_WIN}" TIMEOUT 300)
    if("e2e" IN_LIST labels)
      # One program instance at a time: whole-program tests never overlap.
      set_tests_properties(${name} PROPERTIES RESOURCE_LOCK zwsmain)
    endif()
  else()
    include(GoogleTest)
    gtest_discover_tests(${name}_tests DISCOVERY_MODE PRE_TEST
      PROPERTIES LABELS "${labels}" ENVIRONMENT "QM_TREE=${QM_TREE}")
  endif()
endfunction()
