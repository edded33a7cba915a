# Cross-compiling for 64-bit Windows with Debian's MinGW-w64. The posix-thread compilers are
# named outright: Qt needs std::thread and friends, which the win32-thread ones lack.
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DPELLAVIN_QT_MINGW=<Qt for MinGW>
#         -DQT_HOST_PATH=/usr ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_mingw})
# Qt for MinGW lives outside the sysroot; without it on both paths find_package(Qt6) looks for
# it under /usr/x86_64-w64-mingw32 only.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PELLAVIN_QT_MINGW)
if(PELLAVIN_QT_MINGW)
  list(PREPEND CMAKE_FIND_ROOT_PATH "${PELLAVIN_QT_MINGW}")
  list(PREPEND CMAKE_PREFIX_PATH "${PELLAVIN_QT_MINGW}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
