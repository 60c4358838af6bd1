# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (the posix-thread
# flavour, whose C++ library has std::thread and std::mutex). What it builds
# needs no DLL of the compiler: its runtime is linked in. Test programs run
# under Wine when it is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PRAMVIX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PRAMVIX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PRAMVIX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PRAMVIX_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PRAMVIX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread go into each binary.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# pkg-config looks only at Windows packages: those of the MinGW tree, and a
# Windows AviSynth+ named by PKG_CONFIG_PATH (its prefix's lib/pkgconfig).
set(ENV{PKG_CONFIG_LIBDIR} "/usr/${PRAMVIX_MINGW_TRIPLE}/lib/pkgconfig")

find_program(PRAMVIX_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(PRAMVIX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PRAMVIX_WINE})
endif()
