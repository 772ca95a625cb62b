# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack on the staged files of every package before it packs them, doing what
# debhelper would: every manual page installed uncompressed (another program's install
# rule may do so) is compressed with gzip -9n, and every program loses the .comment and
# .note sections that CPack's plain strip leaves (compiler versions, nothing it runs on).
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(path IN LISTS staged)
  if(IS_SYMLINK "${path}")
    continue()
  endif()
  if(path MATCHES "/share/man/" AND NOT path MATCHES "\\.gz$")
    execute_process(COMMAND gzip -9nf "${path}" RESULT_VARIABLE status)
  else()
    file(READ "${path}" magic LIMIT 4 HEX)
    if(NOT magic STREQUAL "7f454c46")
      continue()
    endif()
    execute_process(COMMAND "${CPACK_VEMOL_STRIP}" --remove-section=.comment --remove-section=.note "${path}"
                    RESULT_VARIABLE status)
  endif()
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot finish ${path} for packing")
  endif()
endforeach()
