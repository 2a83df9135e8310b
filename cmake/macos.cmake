# Cross-compiles for macOS from Linux with LLVM's clang 14, ld64.lld and a macOS SDK:
#
#   cmake -S . -B DIR --toolchain cmake/macos.cmake -DCMAKE_OSX_SYSROOT=SDK_DIR \
#         -DCMAKE_OSX_ARCHITECTURES="arm64;x86_64" -DCMAKE_PREFIX_PATH=PREFIX
#
# PREFIX holds the libraries built for the target (scripts/check-macos makes it); nothing is
# looked for on the build machine outside it and the SDK. The static libraries are made by
# cmake/macos-ar, which, like Apple's libtool, gives one archive per architecture joined into a
# universal file, since the linker does not read universal objects inside an archive.
# scripts/check-macos is the way to use it; on a Mac, build without it.
set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_VERSION 20.0)  # Darwin 20 is macOS 11
set(CMAKE_OSX_DEPLOYMENT_TARGET 11.0 CACHE STRING "The oldest macOS the binaries run on")
if(NOT CMAKE_OSX_ARCHITECTURES)
  set(CMAKE_OSX_ARCHITECTURES arm64 CACHE STRING "")
endif()
# try_compile projects see these too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CMAKE_OSX_SYSROOT CMAKE_OSX_ARCHITECTURES)

set(llvm /usr/lib/llvm-14/bin)
set(CMAKE_C_COMPILER ${llvm}/clang)
set(CMAKE_CXX_COMPILER ${llvm}/clang++)
# The triple names the system; -arch, which CMake adds for each of CMAKE_OSX_ARCHITECTURES,
# picks the architecture.
set(CMAKE_C_COMPILER_TARGET x86_64-apple-macos${CMAKE_OSX_DEPLOYMENT_TARGET})
set(CMAKE_CXX_COMPILER_TARGET x86_64-apple-macos${CMAKE_OSX_DEPLOYMENT_TARGET})
set(CMAKE_CXX_FLAGS_INIT "-stdlib=libc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-fuse-ld=lld")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-fuse-ld=lld")
set(CMAKE_AR ${llvm}/llvm-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${llvm}/llvm-ranlib CACHE FILEPATH "")
set(CMAKE_INSTALL_NAME_TOOL ${llvm}/llvm-install-name-tool CACHE FILEPATH "")

set(macos_ar ${CMAKE_CURRENT_LIST_DIR}/macos-ar)
foreach(lang C CXX)
  set(CMAKE_${lang}_ARCHIVE_CREATE "${macos_ar} create <TARGET> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_APPEND "${macos_ar} append <TARGET> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_FINISH "${macos_ar} finish <TARGET>")
endforeach()

# Libraries, headers and packages from the SDK and the prefix only; programs from the build
# machine.
set(CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
