# Cross toolchain: Win32 x86 through MinGW-w64 (posix threads, needed by GoogleTest). The shipped program.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
# Every PC that runs Tunewright has SSE2, and x87 code is slower (and far slower under Wine). On 32-bit MinGW
# GCC realigns the stack where SSE needs it, since Windows promises only 4-byte alignment to callbacks.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
