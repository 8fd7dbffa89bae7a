# Installs the build into PREFIX and fails unless everything a user gets is there: each of
# PROGRAMS with its manual page, the program's desktop entry and its icon.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected share/applications/zephranox.desktop
             share/icons/hicolor/scalable/apps/zephranox.svg)
foreach(program IN LISTS PROGRAMS)
    list(APPEND expected bin/${program} share/man/man1/${program}.1.gz)
endforeach()
set(missing)
foreach(path IN LISTS expected)
    if(NOT EXISTS ${PREFIX}/${path})
        list(APPEND missing ${path})
    endif()
endforeach()
if(missing)
    message(FATAL_ERROR "not installed: ${missing}")
endif()
file(REMOVE_RECURSE ${PREFIX})
