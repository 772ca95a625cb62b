# Run by CPack on the staged files before it packs them: every manual page installed
# uncompressed (another program's install rule may do so) is compressed with gzip -9n,
# as Debian requires of a package.
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/*")
foreach(page IN LISTS pages)
  if(NOT page MATCHES "\\.gz$" AND NOT IS_SYMLINK "${page}")
    execute_process(COMMAND gzip -9nf "${page}" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "cannot compress ${page}")
    endif()
  endif()
endforeach()
