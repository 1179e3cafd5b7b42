# SQLite's amalgamation for the Windows build.
cmake_minimum_required(VERSION 3.20)
project(sqlite3 C)
add_library(sqlite3 STATIC sqlite3.c)
target_compile_definitions(sqlite3 PRIVATE SQLITE_THREADSAFE=0 SQLITE_OMIT_LOAD_EXTENSION
  SQLITE_DEFAULT_MEMSTATUS=0)
target_compile_options(sqlite3 PRIVATE -O2 -w)
install(TARGETS sqlite3 ARCHIVE DESTINATION lib)
install(FILES sqlite3.h DESTINATION include)
