# Wayland client libraries and protocol code for the Wayland routes (wlroots, KDE) and the tests.
#
# wayland-scanner generates each protocol's client header and code into the build folder at build
# time; no protocol description or generated file is kept in the repository. xdg-output and
# xdg-shell come from Debian's wayland-protocols; the wlroots virtual pointer and virtual keyboard
# descriptions are fetched by scripts/setup (scripts/wlroots-protocols) into a cache folder.
find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_check_modules(XKBCOMMON REQUIRED IMPORTED_TARGET xkbcommon)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
pkg_get_variable(WAYLAND_SCANNER wayland-scanner wayland_scanner)
if(NOT WAYLAND_PROTOCOLS_DIR OR NOT WAYLAND_SCANNER)
  message(FATAL_ERROR "wayland-protocols and wayland-scanner (libwayland-dev) are needed: scripts/setup build")
endif()

if(DEFINED ENV{INPUT_AGENT_CACHE})
  set(default_cache "$ENV{INPUT_AGENT_CACHE}")
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(default_cache "$ENV{XDG_CACHE_HOME}/input-agent")
else()
  set(default_cache "$ENV{HOME}/.cache/input-agent")
endif()
set(INPUT_AGENT_WLROOTS_PROTOCOL_DIR "${default_cache}/wlroots-protocol"
  CACHE PATH "Folder with wlr-virtual-pointer-unstable-v1.xml and virtual-keyboard-unstable-v1.xml")

set(wlr_pointer_xml "${INPUT_AGENT_WLROOTS_PROTOCOL_DIR}/wlr-virtual-pointer-unstable-v1.xml")
set(wlr_keyboard_xml "${INPUT_AGENT_WLROOTS_PROTOCOL_DIR}/virtual-keyboard-unstable-v1.xml")
if(NOT EXISTS "${wlr_pointer_xml}" OR NOT EXISTS "${wlr_keyboard_xml}")
  message(FATAL_ERROR "The wlroots protocol descriptions are not in ${INPUT_AGENT_WLROOTS_PROTOCOL_DIR}: "
                      "run scripts/setup build (or set INPUT_AGENT_WLROOTS_PROTOCOL_DIR)")
endif()

set(wayland_generated "${CMAKE_BINARY_DIR}/wayland-protocols")
file(MAKE_DIRECTORY "${wayland_generated}")

# Adds a client header NAME-client-protocol.h and its code NAME-protocol.c, made from XML.
function(wayland_protocol out_sources name xml)
  set(header "${wayland_generated}/${name}-client-protocol.h")
  set(code "${wayland_generated}/${name}-protocol.c")
  add_custom_command(OUTPUT "${header}"
    COMMAND "${WAYLAND_SCANNER}" client-header "${xml}" "${header}"
    DEPENDS "${xml}" VERBATIM)
  add_custom_command(OUTPUT "${code}"
    COMMAND "${WAYLAND_SCANNER}" private-code "${xml}" "${code}"
    DEPENDS "${xml}" "${header}" VERBATIM)
  set(${out_sources} ${${out_sources}} "${header}" "${code}" PARENT_SCOPE)
endfunction()

set(protocol_sources)
wayland_protocol(protocol_sources wlr-virtual-pointer-unstable-v1 "${wlr_pointer_xml}")
wayland_protocol(protocol_sources virtual-keyboard-unstable-v1 "${wlr_keyboard_xml}")
wayland_protocol(protocol_sources xdg-output-unstable-v1
  "${WAYLAND_PROTOCOLS_DIR}/unstable/xdg-output/xdg-output-unstable-v1.xml")
# KWin's fake input (the KDE route) comes from Debian's plasma-wayland-protocols.
find_package(PlasmaWaylandProtocols CONFIG QUIET)
if(NOT PLASMA_WAYLAND_PROTOCOLS_DIR)
  set(PLASMA_WAYLAND_PROTOCOLS_DIR /usr/share/plasma-wayland-protocols)
endif()
if(NOT EXISTS "${PLASMA_WAYLAND_PROTOCOLS_DIR}/fake-input.xml")
  message(FATAL_ERROR "KWin's fake-input.xml (plasma-wayland-protocols) is needed: scripts/setup build")
endif()
wayland_protocol(protocol_sources fake-input "${PLASMA_WAYLAND_PROTOCOLS_DIR}/fake-input.xml")
wayland_protocol(protocol_sources xdg-shell "${WAYLAND_PROTOCOLS_DIR}/stable/xdg-shell/xdg-shell.xml")

# The generated code is C and not ours: no warnings from it.
add_library(wayland_protocols STATIC ${protocol_sources})
set_source_files_properties(${protocol_sources} PROPERTIES COMPILE_OPTIONS "-w")
target_include_directories(wayland_protocols SYSTEM PUBLIC "${wayland_generated}")
target_link_libraries(wayland_protocols PUBLIC PkgConfig::WAYLAND_CLIENT)
