# Cross-building for Windows x86-64 with MinGW-w64 (the posix thread variant, for std::thread and
# std::mutex). Everything links statically, so the program needs only the system's own DLLs.
#
# Used by the `windows` preset and by scripts/build-win-deps.sh for the third-party libraries.
# The libraries' prefix comes in as CMAKE_FIND_ROOT_PATH (the preset sets it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FLURRIX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FLURRIX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FLURRIX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${FLURRIX_MINGW_TRIPLE}-windres)
set(CMAKE_ASM_NASM_COMPILER nasm)

# -O2 rather than -O3: GCC 12 at -O3 reports false -Wrestrict warnings inside std::string.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of a release build")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of a release build")

# -static also pulls in libgcc, libstdc++ and winpthread as archives.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

foreach(root IN LISTS CMAKE_FIND_ROOT_PATH)
  if(NOT EXISTS "${root}")
    message(FATAL_ERROR "${root} is missing: build the libraries with scripts/build-win-deps.sh")
  endif()
endforeach()

# Search headers and libraries only in the MinGW system root and the libraries' prefix; programs
# (nasm, pkg-config, windres) on the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${FLURRIX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# zlib comes from MinGW's own libz.a. Named here, since FindZLIB would take the DLL import
# library libz.dll.a beside it (CMake's Windows platform files prefer .dll.a).
set(ZLIB_LIBRARY /usr/${FLURRIX_MINGW_TRIPLE}/lib/libz.a CACHE FILEPATH "zlib, static")
set(ZLIB_INCLUDE_DIR /usr/${FLURRIX_MINGW_TRIPLE}/include CACHE PATH "zlib's headers")

# The build machine's .pc files describe Linux libraries.
list(TRANSFORM CMAKE_FIND_ROOT_PATH APPEND /lib/pkgconfig OUTPUT_VARIABLE FLURRIX_PC_DIRS)
list(JOIN FLURRIX_PC_DIRS ":" FLURRIX_PC_DIRS)
set(ENV{PKG_CONFIG_LIBDIR} "${FLURRIX_PC_DIRS}")
set(ENV{PKG_CONFIG_PATH} "")
