# Compiler warnings, hardening and sanitizer switches shared by every target of the project.

option(CONTAXIO_WERROR "Treat compiler warnings as errors (on in the test suite and CI)" OFF)
set(CONTAXIO_SANITIZER "" CACHE STRING
    "Sanitizers to build with: empty, 'address;undefined' or 'thread'")
option(CONTAXIO_FUZZ
    "Build the libFuzzer targets of fuzz/ (clang only; everything is built with coverage \
instrumentation, AddressSanitizer and UndefinedBehaviorSanitizer)" OFF)

if(CONTAXIO_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "CONTAXIO_FUZZ needs clang (libFuzzer): configure with "
                            "-DCMAKE_CXX_COMPILER=clang++")
    endif()
    if(CONTAXIO_SANITIZER STREQUAL "")
        set(CONTAXIO_SANITIZER "address;undefined")
    elseif(NOT CONTAXIO_SANITIZER STREQUAL "address;undefined")
        message(FATAL_ERROR "CONTAXIO_FUZZ runs under 'address;undefined', not "
                            "'${CONTAXIO_SANITIZER}'")
    endif()
    # Coverage feedback for the fuzzer from every library; the fuzz targets add the engine.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

find_program(CONTAXIO_CCACHE ccache)
if(CONTAXIO_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
    set(CMAKE_CXX_COMPILER_LAUNCHER ${CONTAXIO_CCACHE})
endif()

add_library(contaxio_warnings INTERFACE)
target_compile_options(contaxio_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wcast-align -Wimplicit-fallthrough -Wconversion -Wsign-conversion -Wold-style-cast)
if(CONTAXIO_WERROR)
    target_compile_options(contaxio_warnings INTERFACE -Werror)
endif()

# Hardened optimised builds: checked buffer and container accesses, stack protection, control
# flow protection, position-independent executables and a read-only relocation table.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS "-O2 -D_FORTIFY_SOURCE=3 -Werror")
check_cxx_source_compiles([=[
#include <cstdio>
#if !defined(__has_builtin) || !__has_builtin(__builtin_dynamic_object_size)
#error no dynamic object size
#endif
int main() { return 0; }
]=] CONTAXIO_HAVE_FORTIFY_3)
unset(CMAKE_REQUIRED_FLAGS)
if(CONTAXIO_HAVE_FORTIFY_3)
    set(_contaxio_fortify 3)
else()
    set(_contaxio_fortify 2)
endif()
# Sanitizer builds leave out the fortified library calls, which hide accesses from them.
if(CONTAXIO_SANITIZER)
    set(_contaxio_optimised 0)
else()
    set(_contaxio_optimised $<CONFIG:Release,RelWithDebInfo>)
endif()
add_compile_options(
    "$<${_contaxio_optimised}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=${_contaxio_fortify}>"
    "$<${_contaxio_optimised}:-D_GLIBCXX_ASSERTIONS>"
    "$<${_contaxio_optimised}:-fstack-protector-strong>"
    "$<${_contaxio_optimised}:-fstack-clash-protection>")
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|i.86")
    add_compile_options("$<${_contaxio_optimised}:-fcf-protection>")
endif()
add_link_options("$<${_contaxio_optimised}:LINKER:-z,relro,-z,now>")

if(CONTAXIO_SANITIZER)
    list(JOIN CONTAXIO_SANITIZER "," _contaxio_sanitizers)
    add_compile_options(-fsanitize=${_contaxio_sanitizers} -fno-omit-frame-pointer
                        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${_contaxio_sanitizers})
    # A sanitizer build is for finding faults, not for stepping through: line tables are all a
    # report needs for its file and line numbers, and light optimisation does not hide faults
    # from the sanitizers. With -O2 and full debug information, AddressSanitizer with
    # UndefinedBehaviorSanitizer compiled three to five times slower than the normal build. The
    # fuzz targets keep -O2: the faster they run, the more inputs a run of fixed length tries.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        set(_contaxio_line_tables -g1)
    else()
        set(_contaxio_line_tables -gline-tables-only)
    endif()
    if(NOT CONTAXIO_FUZZ)
        add_compile_options("$<$<CONFIG:RelWithDebInfo>:-O1>")
    endif()
    add_compile_options("$<$<CONFIG:RelWithDebInfo>:${_contaxio_line_tables}>")
endif()
