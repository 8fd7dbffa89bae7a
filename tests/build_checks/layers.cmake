# The layers, bottom up. A source may include headers of its own folder and of folders below
# it, never above: `cmake -DSRC=<src> -P layers.cmake` lists every include that runs up and
# fails when there is one. Every folder name is used once in src/device and src/gui together,
# so an include's prefix names one folder.
set(LAYERS model sim platform doubles response fit link replies presets session headless desktop
    window_doubles drawing editing ui app)

file(GLOB_RECURSE sources ${SRC}/*.h ${SRC}/*.cpp)
set(violations "")
foreach(source IN LISTS sources)
    get_filename_component(folder_path ${source} DIRECTORY)
    get_filename_component(folder ${folder_path} NAME)
    list(FIND LAYERS ${folder} own)
    if(own EQUAL -1)
        string(APPEND violations "\n  ${source}: folder ${folder} is in no layer")
        continue()
    endif()
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[^\"]*\"([a-z_]+)/.*$" "\\1" target "${line}")
        list(FIND LAYERS ${target} rank)
        if(rank GREATER own)
            file(RELATIVE_PATH shown ${SRC} ${source})
            string(APPEND violations "\n  ${shown} (${folder}) includes ${target}/")
        endif()
    endforeach()
endforeach()
if(violations)
    message(FATAL_ERROR "includes that run up the layers:${violations}")
endif()
list(LENGTH sources count)
message(STATUS "layers: ${count} sources, no include runs up")
