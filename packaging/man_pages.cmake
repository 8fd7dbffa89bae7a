# `gzip -9n`: the highest level, and no name or time stamp in the header, so that the same
# text gives the same bytes (as Debian packages carry their compressed documentation).
function(zx_gzip input output)
    execute_process(COMMAND gzip -9nc INPUT_FILE ${input} OUTPUT_FILE ${output}
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "gzip ${input} failed: ${result}")
    endif()
endfunction()

# Manual pages are installed gzip-compressed into section 1, as Debian packages carry them.
# They are compressed when the project is configured; editing a page configures again.
function(zx_install_man_page page)
    get_filename_component(name ${page} NAME)
    set(gz ${CMAKE_BINARY_DIR}/man/${name}.gz)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/man)
    zx_gzip(${page} ${gz})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${page})
    install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

# Everything `make install` and `make package` need built, without the tests and benchmarks.
function(zx_installable target)
    set_property(GLOBAL APPEND PROPERTY ZX_INSTALLED_PROGRAMS ${target})
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()
