# Cross-building the Windows program (walker.exe) on Debian with MinGW-w64:
# the g++-mingw-w64-x86-64-posix compilers and the Windows headers and import
# libraries under /usr/x86_64-w64-mingw32. The same file builds freeglut for
# the program (scripts/windows), so that both agree on compiler and runtime.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(WALKER_MINGW_TRIPLET x86_64-w64-mingw32)
# The posix variant: its libstdc++ has std::thread and friends (winpthread).
set(CMAKE_C_COMPILER ${WALKER_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WALKER_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${WALKER_MINGW_TRIPLET}-windres)

# Libraries, headers and packages come from the Windows tree only, never from
# the build machine's own /usr; programs (the build tools) from the machine.
set(CMAKE_FIND_ROOT_PATH /usr/${WALKER_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
