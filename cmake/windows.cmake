# Windows configuration: the reader, the companion programs, Windows-side tests.
foreach(f mushaf_tables.inc 130_surahs.txt 131_indonesian.txt 133_english.txt 134_arabic.txt 137_timing.txt 139_arabic_spelling.txt noravel.ico background.bmp background_night.bmp)
    if(NOT EXISTS "${NORAVEL_DATA_DIR}/${f}")
        message(FATAL_ERROR "${NORAVEL_DATA_DIR}/${f} is missing: build the native configuration first (scripts/build.sh does both)")
    endif()
endforeach()

add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

noravel_core_library(noravel_core)

include(cmake/delay_imports.cmake)
add_library(noravel_win STATIC ${NORAVEL_WIN_SOURCES})
add_dependencies(noravel_win delay_imports)
target_link_libraries(noravel_win PUBLIC noravel_core
    comctl32 comdlg32 gdi32 user32 kernel32 advapi32 ${NORAVEL_DELAYED_LIBRARIES} usp10 uuid winmm
    msacm32)

# The resources go into an object library so that test programs link them too
# (a static library would drop them: nothing refers to them by symbol).
add_library(noravel_resources OBJECT resources/noravel.rc)
target_include_directories(noravel_resources PRIVATE ${CMAKE_SOURCE_DIR} ${NORAVEL_DATA_DIR})
set_property(SOURCE resources/noravel.rc APPEND PROPERTY OBJECT_DEPENDS
    ${NORAVEL_DATA_DIR}/130_surahs.txt ${NORAVEL_DATA_DIR}/131_indonesian.txt
    ${NORAVEL_DATA_DIR}/133_english.txt ${NORAVEL_DATA_DIR}/134_arabic.txt
    ${NORAVEL_DATA_DIR}/137_timing.txt ${NORAVEL_DATA_DIR}/139_arabic_spelling.txt
    ${NORAVEL_DATA_DIR}/noravel.ico
    ${NORAVEL_DATA_DIR}/background.bmp ${NORAVEL_DATA_DIR}/background_night.bmp)
include(${CMAKE_SOURCE_DIR}/cmake/translation_languages.cmake)
foreach(code IN LISTS NORAVEL_TRANSLATION_CODES)
    list(FIND NORAVEL_TRANSLATION_CODES ${code} index)
    math(EXPR id "150 + ${index}")
    set_property(SOURCE resources/noravel.rc APPEND PROPERTY OBJECT_DEPENDS
        ${NORAVEL_DATA_DIR}/${id}_translation_${code}.txt)
endforeach()

# The manifest (per-monitor DPI awareness, Common Controls 6) belongs to the programs; of the
# test programs only those that drive the main window link it too (tests/win).
add_executable(noravel WIN32 app/main_win.cpp resources/reader_manifest.rc
    $<TARGET_OBJECTS:noravel_resources>)
set_property(SOURCE resources/reader_manifest.rc APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_SOURCE_DIR}/resources/reader.manifest)
target_link_libraries(noravel PRIVATE noravel_win)
# The shipped program carries no debugging information: the loader need not read it, and
# the file is half the size. The test programs keep theirs.
target_link_options(noravel PRIVATE -Wl,--strip-debug)
set_target_properties(noravel PROPERTIES OUTPUT_NAME Noravel RUNTIME_OUTPUT_DIRECTORY ${NORAVEL_DIST_DIR})
# Sections aligned to pages in the file as in memory, so that the system can map the image,
# with its ten translations (about 12 MB of resources), straight from the file: pages of
# languages never chosen are never read.
target_link_options(noravel PRIVATE -Wl,--file-alignment=4096)

if(EXISTS ${CMAKE_SOURCE_DIR}/companions/CMakeLists.txt)
    add_subdirectory(companions)
    add_subdirectory(tests/companions)
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
add_subdirectory(tests/win)
add_subdirectory(tests/e2e)
include(bench/windows.cmake)

# What running the reader needs: the program folder's programs and the screenshot tool.
add_custom_target(dist_programs)
add_dependencies(dist_programs noravel shoot)
if(TARGET companions)
    add_dependencies(dist_programs companions)
endif()

include(cmake/release.cmake)
