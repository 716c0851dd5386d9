# Cross build for 64-bit Windows with the MinGW-w64 compilers (the -posix
# thread variant: the win32 one has no std::thread). The libraries come from
# the prefix that scripts/build-windows-deps fills; programs run under Wine.
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PAGEWRIGHT_MINGW_HOST x86_64-w64-mingw32)
if(NOT DEFINED PAGEWRIGHT_MINGW_PREFIX)
  if(DEFINED ENV{PAGEWRIGHT_MINGW_PREFIX})
    set(PAGEWRIGHT_MINGW_PREFIX $ENV{PAGEWRIGHT_MINGW_PREFIX})
  else()
    set(PAGEWRIGHT_MINGW_PREFIX /opt/pagewright-mingw)
  endif()
endif()
set(PAGEWRIGHT_MINGW_PREFIX ${PAGEWRIGHT_MINGW_PREFIX} CACHE PATH "Where build-windows-deps installed the Windows libraries")

set(CMAKE_C_COMPILER ${PAGEWRIGHT_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PAGEWRIGHT_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${PAGEWRIGHT_MINGW_HOST}-windres)

set(CMAKE_FIND_ROOT_PATH ${PAGEWRIGHT_MINGW_PREFIX} /usr/${PAGEWRIGHT_MINGW_HOST})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program is one file: no MinGW run-time DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# wxMSW, when the prefix has it, through its wx-config.
if(EXISTS ${PAGEWRIGHT_MINGW_PREFIX}/bin/wx-config)
  set(wxWidgets_CONFIG_EXECUTABLE ${PAGEWRIGHT_MINGW_PREFIX}/bin/wx-config CACHE FILEPATH "")
endif()

find_program(PAGEWRIGHT_WINE NAMES wine wine64)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PAGEWRIGHT_WINE})
