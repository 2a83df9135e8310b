# Libraries the agent's own code links, installed from Debian's packages by scripts/setup (on a
# Mac from Homebrew; see the README): nlohmann/json (nlohmann-json3-dev) decodes JSON command
# lines; utf8proc (libutf8proc-dev) finds grapheme cluster boundaries; fast_float
# (libfast-float-dev, headers only) reads the numbers of fast path lines.
find_package(nlohmann_json 3 REQUIRED)
find_package(FastFloat REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(UTF8PROC REQUIRED IMPORTED_TARGET libutf8proc)
target_link_libraries(input_agent_core PUBLIC nlohmann_json::nlohmann_json PkgConfig::UTF8PROC)
target_link_libraries(input_agent_core PRIVATE FastFloat::fast_float)
