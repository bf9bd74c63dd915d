# The settings both Windows targets share: Debian's mingw-w64 compilers (POSIX threads flavour)
# for MINGW_TRIPLET, libraries found only in the target's root and in the cross-built
# dependencies, and the runtime linked statically so the DLL and the test client need nothing
# beside them. Included by the per-target toolchain files after they set the triplet.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
if(DEFINED ENV{MORVANE_WINDOWS_DEPS})
  list(APPEND CMAKE_FIND_ROOT_PATH $ENV{MORVANE_WINDOWS_DEPS})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
