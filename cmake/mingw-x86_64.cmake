# The same sources as 64-bit Windows programs: a test and demo vehicle for
# hosts that cannot run 32-bit programs, never shipped.
set(QL_MINGW_TARGET x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
