# The program's data: the UI language files (data/lng) and the help pages (data/help).
#
# The target contaxio_data copies them into ${PROJECT_BINARY_DIR}/bin/lng and .../bin/help, so
# that a program built into ${PROJECT_BINARY_DIR}/bin finds them beside itself, as an installed
# one finds them in <prefix>/share/contaxio (installed by packaging/CMakeLists.txt). A data
# folder that does not exist yet is left out; adding or removing files makes CMake configure
# again.

set(CONTAXIO_DATA_DIR ${PROJECT_SOURCE_DIR}/data)
set(CONTAXIO_STAGED_DATA_DIR ${PROJECT_BINARY_DIR}/bin)

set(_contaxio_data_commands)
set(_contaxio_data_files)
foreach(folder lng help)
    set(source ${CONTAXIO_DATA_DIR}/${folder})
    set(staged ${CONTAXIO_STAGED_DATA_DIR}/${folder})
    # Watched even while missing, so that its arrival is noticed.
    file(GLOB_RECURSE files CONFIGURE_DEPENDS LIST_DIRECTORIES false ${source}/*)
    list(APPEND _contaxio_data_files ${files})
    # Copied afresh each time, so that a file removed from data/ leaves the staged copy too.
    list(APPEND _contaxio_data_commands COMMAND ${CMAKE_COMMAND} -E rm -rf ${staged})
    if(IS_DIRECTORY ${source})
        list(APPEND _contaxio_data_commands
             COMMAND ${CMAKE_COMMAND} -E copy_directory ${source} ${staged})
    endif()
endforeach()

set(_contaxio_data_stamp ${PROJECT_BINARY_DIR}/contaxio_data.stamp)
add_custom_command(
    OUTPUT ${_contaxio_data_stamp}
    ${_contaxio_data_commands}
    COMMAND ${CMAKE_COMMAND} -E touch ${_contaxio_data_stamp}
    DEPENDS ${_contaxio_data_files}
    COMMENT "Staging the language files and help pages in ${CONTAXIO_STAGED_DATA_DIR}"
    VERBATIM)
add_custom_target(contaxio_data ALL DEPENDS ${_contaxio_data_stamp})
