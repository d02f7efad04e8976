# Cross build for 32-bit Windows (the product) with the mingw-w64 i686 tool chain.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KETTERLIN_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
