# Run by cpack once the files are staged (CPACK_PRE_BUILD_SCRIPTS, cmake/package.cmake): the
# Debian package's manual pages are compressed, as Debian's policy asks (gzip -9n: no name or
# time stamp in the file, so the same page gives the same bytes).
if(CPACK_GENERATOR STREQUAL "DEB")
  file(GLOB_RECURSE pages "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man*/*.[1-9]")
  foreach(page IN LISTS pages)
    execute_process(COMMAND gzip -9n "${page}" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "gzip failed on ${page}")
    endif()
  endforeach()
endif()
