# Cross toolchain: Win64 x64 through MinGW-w64 (posix threads, needed by GoogleTest). The same sources as the
# shipped Win32 build; its tests run under 64-bit Wine on machines that cannot execute 32-bit code.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
