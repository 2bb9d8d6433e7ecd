# Cross build for 64-bit Windows with Debian's mingw-w64 (package g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The posix thread model, because GoogleTest does not build with the win32 one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triplet x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Statically linked, so an exe imports only KERNEL32 and msvcrt: it runs from a copied folder
# with no MinGW runtime DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# CLI11 and nlohmann_json are header-only: the Linux packages serve, through cmake/mingw-w64-packages.
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-w64-packages)
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-w64-packages)
