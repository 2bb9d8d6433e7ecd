include(${CMAKE_CURRENT_LIST_DIR}/host-headers.cmake)
eds_host_header_library(CLI11::CLI11 CLI)
