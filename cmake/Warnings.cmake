# Our own targets link this to get the project's warning level.
add_library(tavora_warnings INTERFACE)
target_compile_options(tavora_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow=local -Wnon-virtual-dtor)

# tavora_library(<name> [GUI] SOURCES ... LIBS ...): a static library rooted at
# the repository, so includes read "engine/RingBuffer.h".
function(tavora_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS} PRIVATE tavora_warnings)
endfunction()
