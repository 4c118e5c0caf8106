# Cross-build for 32-bit Windows with Debian's mingw-w64, the POSIX threads
# flavour (std::thread and std::mutex need it). Used by scripts/cross-windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(DVT_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${DVT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DVT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DVT_MINGW_TRIPLE}-windres)

# Libraries Debian has no Windows build of are built into a prefix of their
# own (scripts/cross-windows: build-windows/deps/prefix), searched after the
# mingw-w64 root.
set(CMAKE_FIND_ROOT_PATH /usr/${DVT_MINGW_TRIPLE} ${DVT_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The GCC, C++ and threads run-times linked in: dravovexa-cli.exe and
# dllsat.dll need no DLL beside them but Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# A .def file lists the undecorated names of __stdcall functions (AtivarSAT
# for _AtivarSAT@20); the linker matches them without a warning each.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -Wl,--enable-stdcall-fixup")
