# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Every deliberate difference is listed once in docs/differences.md ("- `key`: ...") and
# marked in the code with a comment "Deliberate difference: key." at each place that makes
# it: fails on a listed key no code marks, a mark whose key is not listed, a mark without a
# key, and a key listed twice.   cmake -DSOURCE_DIR=<project> -P <this file>
cmake_minimum_required(VERSION 3.20)
file(STRINGS ${SOURCE_DIR}/docs/differences.md entries REGEX "^- `")
foreach(entry ${entries})
  string(REGEX REPLACE "^- `([a-z0-9-]+)`:.*" "\\1" key "${entry}")
  if(key STREQUAL entry)
    message(SEND_ERROR "docs/differences.md: an entry without a `key`: ${entry}")
  elseif(key IN_LIST listed)
    message(SEND_ERROR "docs/differences.md: `${key}` is listed twice")
  endif()
  list(APPEND listed ${key})
endforeach()

foreach(folder app audio game gfx net platform resources server tools bench)
  file(GLOB_RECURSE sources ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.c)
  foreach(source ${sources})
    file(STRINGS ${source} marks REGEX "Deliberate difference:")
    file(RELATIVE_PATH where ${SOURCE_DIR} ${source})
    foreach(mark ${marks})
      if(NOT mark MATCHES "Deliberate difference: ([a-z0-9-]+)\\.")
        message(SEND_ERROR "${where}: a mark without a key: ${mark}")
      elseif(NOT CMAKE_MATCH_1 IN_LIST listed)
        message(SEND_ERROR "${where}: `${CMAKE_MATCH_1}` is not listed in docs/differences.md")
      else()
        list(APPEND marked ${CMAKE_MATCH_1})
      endif()
    endforeach()
  endforeach()
endforeach()

foreach(key ${listed})
  if(NOT key IN_LIST marked)
    message(SEND_ERROR "`${key}` is listed in docs/differences.md but no code marks it")
  endif()
endforeach()
list(LENGTH listed count)
message(STATUS "${count} deliberate differences, each marked in the code")
