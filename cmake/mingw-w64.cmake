# Cross build for Windows with Debian's MinGW-w64 compilers (the POSIX-thread
# variant, for std::thread). Set on the command line:
#   CORVANE_WIN_ARCH   x86_64 (default) or i686
#   CORVANE_WIN_DEPS   prefix of the libraries scripts/windows-deps built
#   CORVANE_HOST_TOOLS build folder holding the build-time tools built for this machine
# Every program links the C and C++ run-time statically, so the package needs no
# compiler DLLs. Test programs run under Wine (scripts/wine-run).
set(CMAKE_SYSTEM_NAME Windows)
if(NOT CORVANE_WIN_ARCH)
  set(CORVANE_WIN_ARCH x86_64)
endif()
set(CMAKE_SYSTEM_PROCESSOR ${CORVANE_WIN_ARCH})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CORVANE_WIN_ARCH CORVANE_WIN_DEPS CORVANE_HOST_TOOLS)

set(corvane_triple ${CORVANE_WIN_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${corvane_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${corvane_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${corvane_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${corvane_triple} ${CORVANE_WIN_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# zlib's MinGW package also has an import library; the static one is wanted.
set(ZLIB_LIBRARY /usr/${corvane_triple}/lib/libz.a CACHE FILEPATH "")
set(ZLIB_INCLUDE_DIR /usr/${corvane_triple}/include CACHE PATH "")

foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
endforeach()

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
