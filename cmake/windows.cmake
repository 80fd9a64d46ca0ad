# The Windows build (mingw-w64, cmake/toolchain-mingw64.cmake or toolchain-mingw32.cmake): the
# library's layers and the COM in-process server velmora.dll made of them and of src/com/. No
# shared library for Linux, command, tests, benchmarks or Python module.
#
# Dependencies, all from Debian:
#   SQLite            compiled in from Debian's source package at the version installed for the
#                     Linux build (scripts/windows-sources.sh puts it in VELMORA_WINDOWS_SOURCES)
#   inih              not needed: src/client/ini_lines.cpp reads INI files with inih's grammar
#   ODBC              Windows' odbc32, through mingw-w64's import library
#   nlohmann-json     the headers of Debian's packages, through a folder of their own that holds
#   and CLI11         nothing else of /usr/include

# One optimisation level for everything, SQLite included; the DLL ships without debug information.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")

set(VELMORA_WINDOWS_SOURCES ${PROJECT_BINARY_DIR}/windows-sources CACHE PATH
    "Where scripts/windows-sources.sh keeps the SQLite sources for the Windows build")
execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/windows-sources.sh
                        ${VELMORA_WINDOWS_SOURCES}
                RESULT_VARIABLE _sources_result)
if(NOT _sources_result EQUAL 0)
  message(FATAL_ERROR "scripts/windows-sources.sh ${VELMORA_WINDOWS_SOURCES} failed "
                      "(${_sources_result}): no SQLite sources for the Windows build")
endif()
set(_sqlite_dir ${VELMORA_WINDOWS_SOURCES}/sqlite3)

# SQLite with the options of Debian's build that change what a statement does or may be, so that
# the same SQL gives the same answer on both systems: the math functions, soundex(), LIKE that
# never matches a BLOB, URI file names, rowid in views, the variable and schema-retry limits.
# Column metadata as the Linux library has it. Thread-safe: sessions run on several threads, and
# src/platform/ado/sqlite switches the memory statistics off at run time as it does on Linux.
# Debian's full-text, R-tree, session and virtual-table extensions are left out: nothing here
# reads such tables.
add_library(velmora_sqlite3 STATIC ${_sqlite_dir}/sqlite3.c)
target_include_directories(velmora_sqlite3 SYSTEM PUBLIC ${_sqlite_dir})
target_compile_definitions(velmora_sqlite3 PRIVATE
  SQLITE_THREADSAFE=1
  SQLITE_ENABLE_MATH_FUNCTIONS
  SQLITE_SOUNDEX=1
  SQLITE_LIKE_DOESNT_MATCH_BLOBS
  SQLITE_USE_URI=1
  SQLITE_ALLOW_ROWID_IN_VIEW
  SQLITE_MAX_VARIABLE_NUMBER=250000
  SQLITE_MAX_SCHEMA_RETRY=25
  SQLITE_ENABLE_COLUMN_METADATA)
# Not our code: its warnings are SQLite's business.
target_compile_options(velmora_sqlite3 PRIVATE -w -fno-strict-aliasing)
add_library(SQLite::SQLite3 ALIAS velmora_sqlite3)

# INI files: the Windows build reads them with src/client/ini_lines.cpp, inih's grammar as Debian
# builds it (Debian's inih sources cannot be had on every build machine); no library to link.
add_library(PkgConfig::INIH INTERFACE IMPORTED)

# Windows' ODBC. Its narrow calls are the wide ones under another name only when UNICODE is
# defined, which it is not: the ODBC driver calls only unsuffixed or wide functions.
add_library(ODBC::ODBC INTERFACE IMPORTED)
set_target_properties(ODBC::ODBC PROPERTIES INTERFACE_LINK_LIBRARIES odbc32)

# Header-only libraries from Debian's packages, without the rest of the build machine's headers.
set(_debian_headers ${PROJECT_BINARY_DIR}/debian-headers)
file(MAKE_DIRECTORY ${_debian_headers})
foreach(folder nlohmann CLI)
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing (run scripts/setup.sh)")
  endif()
  file(CREATE_LINK /usr/include/${folder} ${_debian_headers}/${folder} SYMBOLIC)
endforeach()
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${_debian_headers})
add_library(CLI11::CLI11 INTERFACE IMPORTED)
set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_debian_headers})

# mingw-w64's <time.h> declares the POSIX localtime_r and gmtime_r (over localtime_s and
# gmtime_s) only when asked: the trace's time stamps use them as on Linux.
add_compile_definitions(_POSIX_THREAD_SAFE_FUNCTIONS=200112L)

include(${PROJECT_SOURCE_DIR}/cmake/layers.cmake)
# A DLL has no installed data beside it to fall back to: the home comes from VELMORA_HOME or from
# the caller, and a demo home is looked for in the DLL's own folder only.
target_compile_definitions(velmora_client PRIVATE
  VELMORA_DEMO_HOME=""
  VELMORA_DEMO_HOME_FROM_LIBDIR="demo-home")

include(${PROJECT_SOURCE_DIR}/cmake/com.cmake)
