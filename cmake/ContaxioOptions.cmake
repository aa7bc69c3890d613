# Compiler warnings and sanitizer switches shared by every target of the project.

set(CONTAXIO_SANITIZER "" CACHE STRING
    "Sanitizers to build with: empty, 'address;undefined' or 'thread'")

add_library(contaxio_warnings INTERFACE)
target_compile_options(contaxio_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wcast-align -Wimplicit-fallthrough -Werror)

if(CONTAXIO_SANITIZER)
    list(JOIN CONTAXIO_SANITIZER "," _contaxio_sanitizers)
    add_compile_options(-fsanitize=${_contaxio_sanitizers} -fno-omit-frame-pointer
                        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${_contaxio_sanitizers})
endif()
