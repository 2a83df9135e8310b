# Cross-compiles for Windows x64 from Linux with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix,
# the variant with std::thread):
#
#   cmake -S . -B DIR --toolchain cmake/windows.cmake -DCMAKE_PREFIX_PATH=PREFIX
#
# PREFIX holds the libraries built for Windows (scripts/windows makes it); nothing is looked for
# on the build machine outside it and MinGW-w64's own folder. The C and C++ runtimes are linked
# statically, so input-agent.exe needs no DLL beside it. Test programs run through Wine
# (CMAKE_CROSSCOMPILING_EMULATOR) where one is installed. On Windows, build without this file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(INPUT_AGENT_WINE NAMES wine wine64)
if(INPUT_AGENT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${INPUT_AGENT_WINE})
endif()
