# Compiler launcher, output folders and sanitizers shared by every target.

find_program(VERDANTA_CCACHE ccache)
if(VERDANTA_CCACHE)
  # Relative paths and no cwd hashing let separate checkouts share one cache;
  # the sloppiness settings make precompiled headers cacheable.
  set(_launcher
      ${CMAKE_COMMAND} -E env
      CCACHE_BASEDIR=${CMAKE_SOURCE_DIR}
      CCACHE_NOHASHDIR=1
      CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
      ${VERDANTA_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${_launcher})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${_launcher})
endif()

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
# Component servers are found at run time in the program's modules folder.
set(VERDANTA_MODULES_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/modules)

set(CMAKE_BUILD_RPATH "$ORIGIN;$ORIGIN/..")
set(CMAKE_INSTALL_RPATH "$ORIGIN;$ORIGIN/..")

set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)

# Fast linking when available.
include(CheckCXXSourceCompiles)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" OR CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -fuse-ld=gold -Wl,--version
                  OUTPUT_QUIET ERROR_QUIET RESULT_VARIABLE _gold_result)
  if(_gold_result EQUAL 0)
    add_link_options(-fuse-ld=gold)
  endif()
endif()

if(VERDANTA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Warnings are errors in our own code (Qt, Xerces-C and spdlog come in as system headers).
set(VERDANTA_WARNINGS -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual -Werror)
# gcc's spelling; clang (the fuzz build) has no such option.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND VERDANTA_WARNINGS -Wshadow=local)
endif()
