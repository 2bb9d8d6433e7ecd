# Debian's header-only libraries for the cross build. Their own package files point at
# /usr/include, which holds the build machine's C library too and must never reach the MinGW
# compiler; so each library's one folder is linked into a folder of its own and that is used.
function(eds_host_header_library target folder)
    if(TARGET ${target})
        return()
    endif()
    if(NOT EXISTS /usr/include/${folder})
        message(FATAL_ERROR "/usr/include/${folder} is missing: run scripts/install-deps")
    endif()
    set(headers ${CMAKE_BINARY_DIR}/host-headers)
    file(MAKE_DIRECTORY ${headers})
    file(CREATE_LINK /usr/include/${folder} ${headers}/${folder} SYMBOLIC)
    add_library(${target} INTERFACE IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${headers})
endfunction()
