# Shared part of the mingw-w64 toolchain files: cross compilers, where to look for Windows
# libraries, and Wine to run what the build makes (test discovery, ctest).
# Set HALVARD_MINGW_TRIPLE before including this file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${HALVARD_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HALVARD_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${HALVARD_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${HALVARD_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Link the compiler's runtime (libstdc++, libgcc, winpthread) into every program and DLL, so
# that nothing but system DLLs has to sit beside them on Windows or under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

find_program(HALVARD_WINE wine)
if(HALVARD_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${HALVARD_WINE})
endif()
