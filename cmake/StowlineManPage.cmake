# stowline_man_page(PAGE COMPONENT): installs the section 1 roff page PAGE of the current folder
# (e.g. stowline-server.1) into share/man/man1 as part of COMPONENT, compressed the way Debian
# keeps man pages (gzip -9n: best compression, no name or time stamp, so builds repeat).
function(stowline_man_page page component)
    set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${page}.gz)
    add_custom_command(OUTPUT ${compressed}
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/${page}
                ${CMAKE_CURRENT_BINARY_DIR}/${page}
        COMMAND gzip -9nf ${CMAKE_CURRENT_BINARY_DIR}/${page}
        DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${page} VERBATIM)
    add_custom_target(${page}-gz ALL DEPENDS ${compressed})
    install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${component})
endfunction()
