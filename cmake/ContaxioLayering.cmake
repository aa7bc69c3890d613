# One static library per subsystem, linked in one direction only.
#
# Every subsystem's headers are reached as "<folder>/<Header>.h". Instead of putting src/ on the
# include path (which would let any folder include any other), each library gets its own include
# root in the build tree holding a single link named after its folder. A target therefore sees
# the headers of the libraries it links and nothing else: an include against the direction of
# the layers fails to compile.
#
# contaxio_add_subsystem(<folder> [SOURCES <files...>] [DEPENDS <targets...>])
# creates the target contaxio_<folder> from the sources in the current source folder.
function(contaxio_add_subsystem folder)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    set(target contaxio_${folder})
    set(include_root ${PROJECT_BINARY_DIR}/include/${folder})
    file(MAKE_DIRECTORY ${include_root})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${include_root}/${folder} SYMBOLIC)
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${include_root})
    target_link_libraries(${target} PUBLIC ${ARG_DEPENDS} PRIVATE contaxio_warnings)
endfunction()
