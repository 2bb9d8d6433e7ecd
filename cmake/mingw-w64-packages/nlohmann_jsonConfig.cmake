include(${CMAKE_CURRENT_LIST_DIR}/host-headers.cmake)
eds_host_header_library(nlohmann_json::nlohmann_json nlohmann)
