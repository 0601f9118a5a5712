# Native configuration: generators, portable core, unit tests, fuzzing, benchmarks.
option(NORAVEL_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
option(NORAVEL_GENERATE "Build and run the build-time generators" ON)

set(NORAVEL_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)

if(NORAVEL_FUZZ)
    # A clang build that holds only the fuzz targets.
    noravel_core_library(noravel_core_fuzz OPTIONS -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_subdirectory(fuzz)
    return()
endif()

noravel_core_library(noravel_core)
noravel_core_library(noravel_core_san OPTIONS ${NORAVEL_SANITIZE})

if(NORAVEL_GENERATE)
    add_subdirectory(tools)
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
add_subdirectory(tests/native)

find_package(benchmark REQUIRED)
add_subdirectory(bench)

# setup.sh must bring every outside program that the scripts and build files run.
find_program(NORAVEL_PYTHON3 python3 REQUIRED)
add_test(NAME setup_brings_every_tool
    COMMAND ${NORAVEL_PYTHON3} ${CMAKE_SOURCE_DIR}/scripts/check_tools.py ${CMAKE_SOURCE_DIR})
