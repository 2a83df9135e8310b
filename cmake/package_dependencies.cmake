# Read by cpack before it makes a package (CPACK_PROJECT_CONFIG_FILE, cmake/package.cmake). For
# the Debian package it declares the packages of the libraries that the agent opens with dlopen:
# dpkg-shlibdeps sees only what the executables link. Each package is the one that holds the
# library on the build system (dpkg-query -S), since its name changes between releases: GIO is
# in libglib2.0-0 on Debian 12 and in libglib2.0-0t64 on Debian 13. They are declared without a
# version.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(loaded_packages "")
  foreach(library IN LISTS CPACK_INPUT_AGENT_LOADED_LIBRARIES)
    if(NOT IS_ABSOLUTE "${library}")
      message(FATAL_ERROR "${library}, which the agent opens at run time, is not installed here")
    endif()
    # dpkg may list the library under the path found or only under its real path (/lib or
    # /usr/lib, a symbolic link or the file itself).
    file(REAL_PATH "${library}" real)
    set(owner "")
    foreach(path IN ITEMS "${library}" "${real}")
      execute_process(COMMAND dpkg-query -S "${path}" OUTPUT_VARIABLE found
                      RESULT_VARIABLE status ERROR_QUIET)
      # "libglib2.0-0:amd64: /usr/lib/x86_64-linux-gnu/libgio-2.0.so.0"
      if(status EQUAL 0 AND found MATCHES "^([^:, \n]+)")
        set(owner "${CMAKE_MATCH_1}")
        break()
      endif()
    endforeach()
    if(NOT owner)
      message(FATAL_ERROR "No Debian package holds ${library}, which the agent opens at run time")
    endif()
    list(APPEND loaded_packages "${owner}")
  endforeach()
  list(REMOVE_DUPLICATES loaded_packages)
  list(JOIN loaded_packages ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
endif()
