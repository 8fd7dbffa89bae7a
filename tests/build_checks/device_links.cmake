# `cmake -DPROGRAMS="a;b" -P device_links.cmake`: none of the programs may depend on Qt Gui or
# Qt Widgets (their names would stand among the shared libraries the program needs).
foreach(program IN LISTS PROGRAMS)
    file(STRINGS ${program} gui REGEX "libQt6(Gui|Widgets|OpenGL|DBus)")
    if(gui)
        message(FATAL_ERROR "${program} needs ${gui}")
    endif()
endforeach()
message(STATUS "no window library in: ${PROGRAMS}")
