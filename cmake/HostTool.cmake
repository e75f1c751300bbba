# Programs the build runs on the build machine: in the cross builds the
# module's compiler cannot make them, so the build machine's own compiler
# does, outside the project's targets.
include_guard(GLOBAL)

find_program(SOMBREVOX_HOST_CXX NAMES c++ g++ clang++ REQUIRED
             DOC "The build machine's C++ compiler, for the tools the build runs")

# sombrevox_host_executable(OUT SOURCES source... [DEPENDS header...]): a
# custom command making the program OUT (a full path) from the C++ sources
# with the build machine's compiler; it is made again when a source or one
# of the DEPENDS files changes.
function(sombrevox_host_executable out)
  cmake_parse_arguments(H "" "" "SOURCES;DEPENDS" ${ARGN})
  if(NOT H_SOURCES)
    message(FATAL_ERROR "sombrevox_host_executable(${out}): no SOURCES")
  endif()
  get_filename_component(name ${out} NAME)
  add_custom_command(OUTPUT ${out}
    COMMAND ${SOMBREVOX_HOST_CXX} -std=c++20 -O2 -Wall -Wextra -o ${out} ${H_SOURCES}
    DEPENDS ${H_SOURCES} ${H_DEPENDS}
    COMMENT "Building ${name} with the build machine's compiler"
    VERBATIM)
endfunction()
