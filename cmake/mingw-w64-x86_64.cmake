# Cross-building the Windows programs and their tests with MinGW-w64 (Debian's
# g++-mingw-w64-x86-64-posix). Tests run under Wine when it is installed. The window needs wxMSW built
# for MinGW (scripts/wxmsw.sh): QUILLARY_WXMSW_PREFIX names the folder it is installed in.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
# CMake's wxWidgets finder looks for wx-config only below the find root paths when cross-compiling: the
# wxMSW prefix is one of them, so its bin/wx-config is found and the host's wxGTK one is not.
if(QUILLARY_WXMSW_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${QUILLARY_WXMSW_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# One self-contained executable: the C++ runtime, winpthreads and libgcc linked in, so that only
# system DLLs are imported.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(QUILLARY_WINE NAMES wine)
if(QUILLARY_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUILLARY_WINE})
endif()
