# Manual pages are installed gzip-compressed into section 1, as Debian packages carry them.
# They are compressed when the project is configured; editing a page configures again.
function(zx_install_man_page page)
    get_filename_component(name ${page} NAME)
    set(gz ${CMAKE_BINARY_DIR}/man/${name}.gz)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/man)
    file(ARCHIVE_CREATE OUTPUT ${gz} PATHS ${page} FORMAT raw COMPRESSION GZip
         COMPRESSION_LEVEL 9)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${page})
    install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

# Everything `make install` and `make package` need built, without the tests and benchmarks.
function(zx_installable target)
    set_property(GLOBAL APPEND PROPERTY ZX_INSTALLED_PROGRAMS ${target})
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()
