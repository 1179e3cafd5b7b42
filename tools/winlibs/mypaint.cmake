# libmypaint compiled from its release sources for the Windows build: the brush
# engine only (no GLib, no GEGL, no translations).
cmake_minimum_required(VERSION 3.20)
project(libmypaint C)
find_package(json-c CONFIG REQUIRED)
# The release tarball ships the maintainer's config.h (GLib, NLS): replace it.
file(WRITE ${CMAKE_SOURCE_DIR}/config.h "#define PACKAGE_VERSION \"1.6.0\"\n#define HAVE_STDINT_H 1\n")
# The brush dynamics (brush, mappings, helpers, random numbers) in one
# translation unit, so that the per-dab calls of every setting's mapping and of
# the small helpers are inlined: on 32-bit x86 each float they return goes
# through the x87 stack and memory otherwise.
file(WRITE ${CMAKE_BINARY_DIR}/brush-dynamics.c
  "#include \"helpers.c\"\n#include \"rng-double.c\"\n#include \"mypaint-mapping.c\"\n#include \"mypaint-brush.c\"\n")
set(src ${CMAKE_BINARY_DIR}/brush-dynamics.c brushmodes.c fifo.c mypaint.c
  mypaint-brush-settings.c mypaint-fixed-tiled-surface.c mypaint-matrix.c
  mypaint-rectangle.c mypaint-surface.c mypaint-symmetry.c mypaint-tiled-surface.c
  operationqueue.c tilemap.c)
add_library(mypaint STATIC ${src})
# QM_SOURCE_DIR: the project's tree, for the float maths put in front of every
# source (mypaint_mathf.h, paint/mp_mathf.h).
target_include_directories(mypaint PRIVATE ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR} ${QM_SOURCE_DIR})
target_compile_definitions(mypaint PRIVATE HAVE_CONFIG_H)
target_compile_options(mypaint PRIVATE -O2 -w --param=max-inline-insns-auto=200
  --param=max-inline-insns-single=400 -include ${QM_SOURCE_DIR}/tools/winlibs/mypaint_mathf.h)
target_link_libraries(mypaint PRIVATE json-c::json-c)
install(TARGETS mypaint ARCHIVE DESTINATION lib)
file(GLOB headers ${CMAKE_SOURCE_DIR}/mypaint*.h)
install(FILES ${headers} DESTINATION include/libmypaint)
