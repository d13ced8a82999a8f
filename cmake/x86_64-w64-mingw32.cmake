# Toolchain for 64-bit Windows programs built on Debian with mingw-w64 (posix threads) and run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix-threads compilers: std::thread and std::mutex work on them, as on Linux.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
# Compiles the application manifest into each program.
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Libraries, headers and packages come from the mingw tree only, never from the host's /usr/include or
# /usr/lib; programs (Wine, clang-format) are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes and the thread library linked in, so an .exe runs without mingw's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Debian's wine64 package puts its loader outside the PATH; /usr/bin/wine comes only with the wine package.
find_program(VERSWEEP_WINE NAMES wine64 HINTS /usr/lib/wine REQUIRED)
# Tests and other built programs run under Wine, in a prefix of the build folder's own (never ~/.wine),
# quietly, and without the menu entries, Mono and Gecko that Wine would otherwise set up for the user.
set(VERSWEEP_WINE_ENVIRONMENT WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix WINEDEBUG=-all
    WINEDLLOVERRIDES=winemenubuilder.exe,mscoree,mshtml=d)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env ${VERSWEEP_WINE_ENVIRONMENT} ${VERSWEEP_WINE})
