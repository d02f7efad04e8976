# What both mingw-w64 cross builds share; the toolchain file that includes this sets
# CMAKE_SYSTEM_PROCESSOR and KETTERLIN_MINGW_TRIPLET first. Wine runs the results.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KETTERLIN_MINGW_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${KETTERLIN_MINGW_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${KETTERLIN_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KETTERLIN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# ctest runs the Windows-side tests under the Wine loader that fits the build.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-exec.sh)
# One self-contained executable: no runtime DLLs to ship beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
