# libmypaint compiled from its release sources for the Windows build: the brush
# engine only (no GLib, no GEGL, no translations).
cmake_minimum_required(VERSION 3.20)
project(libmypaint C)
find_package(json-c CONFIG REQUIRED)
# The release tarball ships the maintainer's config.h (GLib, NLS): replace it.
file(WRITE ${CMAKE_SOURCE_DIR}/config.h "#define PACKAGE_VERSION \"1.6.0\"\n#define HAVE_STDINT_H 1\n")
set(src brushmodes.c fifo.c helpers.c mypaint.c mypaint-brush.c
  mypaint-brush-settings.c mypaint-fixed-tiled-surface.c mypaint-mapping.c mypaint-matrix.c
  mypaint-rectangle.c mypaint-surface.c mypaint-symmetry.c mypaint-tiled-surface.c
  operationqueue.c rng-double.c tilemap.c)
add_library(mypaint STATIC ${src})
target_include_directories(mypaint PRIVATE ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
target_compile_definitions(mypaint PRIVATE HAVE_CONFIG_H)
target_compile_options(mypaint PRIVATE -O2 -w)
target_link_libraries(mypaint PRIVATE json-c::json-c)
install(TARGETS mypaint ARCHIVE DESTINATION lib)
file(GLOB headers ${CMAKE_SOURCE_DIR}/mypaint*.h)
install(FILES ${headers} DESTINATION include/libmypaint)
