# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks (or with -DFIX=ON rewrites) the layout of every C++ file of the project against
# .clang-format: the files of each top-level folder that has a CMakeLists.txt, so build
# folders inside the source tree are left out.
#   cmake -DSOURCE_DIR=<project> [-DCLANG_FORMAT=<program>] [-DFIX=ON] -P format.cmake
if(NOT CLANG_FORMAT)
  find_program(CLANG_FORMAT clang-format)
endif()
if(NOT CLANG_FORMAT)
  message(FATAL_ERROR "clang-format was not found (Debian package clang-format)")
endif()

file(GLOB top_entries LIST_DIRECTORIES true ${SOURCE_DIR}/*)
set(files "")
foreach(entry ${top_entries})
  if(IS_DIRECTORY ${entry} AND EXISTS ${entry}/CMakeLists.txt)
    file(GLOB_RECURSE found ${entry}/*.cpp ${entry}/*.h)
    list(APPEND files ${found})
  endif()
endforeach()
list(SORT files)

if(FIX)
  execute_process(COMMAND ${CLANG_FORMAT} -i ${files} WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result)
else()
  execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files} WORKING_DIRECTORY ${SOURCE_DIR}
                  RESULT_VARIABLE result)
endif()
if(NOT result EQUAL 0)
  message(FATAL_ERROR "files differ from .clang-format (see above); `make format` rewrites them")
endif()
list(LENGTH files count)
message(STATUS "${count} files laid out as .clang-format says")
