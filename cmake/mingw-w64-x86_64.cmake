# Cross toolchain: 64-bit Windows with mingw-w64 (posix thread model, needed by GoogleTest's mutexes).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_ASM_NASM_COMPILER nasm)
# Cross dependencies are installed under TESSARO_DEPS_PREFIX; it must be a find root, since a
# plain prefix path would be re-rooted under the sysroot and never found.
if(NOT DEFINED TESSARO_DEPS_PREFIX)
  set(TESSARO_DEPS_PREFIX "$ENV{TESSARO_DEPS_PREFIX}")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX} ${TESSARO_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
