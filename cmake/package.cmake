# The Debian package: `cpack -G DEB` in a build folder makes input-agent_VERSION_ARCH.deb of what
# `cmake --install --prefix /usr` installs (both executables, the KDE trust file naming
# /usr/bin/input-agent, the manual pages, protocol.md), stripped.
#
# Its Depends are those of the libraries the executables link, found by dpkg-shlibdeps, and the
# packages of the libraries the agent opens at run time with dlopen, which dpkg-shlibdeps cannot
# see (cmake/package_dependencies.cmake adds them when cpack runs).
set(CPACK_PACKAGE_NAME input-agent)
# The Maintainer field: a packager gives their own, "Name <address>", with -DCPACK_PACKAGE_CONTACT.
if(NOT CPACK_PACKAGE_CONTACT)
  set(CPACK_PACKAGE_CONTACT "input-agent developers")
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "synthetic mouse, scroll and keyboard input from text commands")
set(CPACK_PACKAGE_DESCRIPTION
    "input-agent reads one command per line on its standard input (pointer\n"
    "motion, buttons, scrolling, keys, text, shortcuts) and posts them as input\n"
    "events on the local desktop, as if a real device made them. A controlling\n"
    "process starts it and writes the commands. It reaches compositors built on\n"
    "wlroots, KDE Plasma (KWin's fake input), GNOME (mutter's remote desktop) and\n"
    "any X11 display (XTest). input-agent-trace prints the platform calls\n"
    "instead, for dry runs.")
list(JOIN CPACK_PACKAGE_DESCRIPTION "" CPACK_PACKAGE_DESCRIPTION)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The libraries the agent opens with dlopen, by soname: each is found here, on the build system,
# and the package that holds it is declared when cpack runs.
set(loaded_by_name libgio-2.0.so.0)  # the GNOME route's D-Bus (GLib's GIO)
set(CPACK_INPUT_AGENT_LOADED_LIBRARIES "")
foreach(soname IN LISTS loaded_by_name)
  string(MAKE_C_IDENTIFIER "${soname}" id)
  find_library(INPUT_AGENT_LOADED_${id} NAMES "${soname}" NO_CACHE)
  if(INPUT_AGENT_LOADED_${id})
    list(APPEND CPACK_INPUT_AGENT_LOADED_LIBRARIES "${INPUT_AGENT_LOADED_${id}}")
  else()
    list(APPEND CPACK_INPUT_AGENT_LOADED_LIBRARIES "${soname}")  # cpack -G DEB then fails
  endif()
endforeach()
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package_dependencies.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package_manuals.cmake)
include(CPack)
