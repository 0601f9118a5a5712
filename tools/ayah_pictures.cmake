# The ayah pictures: every ayah of the Uthmani text of quran-json drawn in the Amiri Quran font
# into ${NORAVEL_DIST_DIR}/gif/S/S_A.gif. The set is made again only when the generator, the
# text or the font changes (the stamp file records a complete run).
find_package(PkgConfig REQUIRED)
pkg_check_modules(AYAH_SHAPING REQUIRED IMPORTED_TARGET harfbuzz freetype2)
find_package(GIF REQUIRED)
find_package(nlohmann_json REQUIRED)
find_package(Threads REQUIRED)

find_file(NORAVEL_AMIRI_QURAN_FONT AmiriQuran.ttf
    PATHS /usr/share/fonts /usr/local/share/fonts
    PATH_SUFFIXES opentype/fonts-hosny-amiri truetype/fonts-hosny-amiri fonts-hosny-amiri
    DOC "The Amiri Quran font the ayah pictures are drawn in")
if(NOT NORAVEL_AMIRI_QURAN_FONT)
    execute_process(COMMAND fc-list -f "%{file}\n" "Amiri Quran"
        OUTPUT_VARIABLE amiri_files ERROR_QUIET)
    string(REGEX MATCH "[^\n]*AmiriQuran\\.ttf" amiri_file "${amiri_files}")
    if(amiri_file)
        set(NORAVEL_AMIRI_QURAN_FONT "${amiri_file}" CACHE FILEPATH "" FORCE)
    endif()
endif()
if(NOT NORAVEL_AMIRI_QURAN_FONT)
    message(FATAL_ERROR "AmiriQuran.ttf not found: install the Debian package fonts-hosny-amiri "
        "or set NORAVEL_AMIRI_QURAN_FONT to the font file")
endif()

set(AYAH_PICTURES_JSON "${NORAVEL_NODE_MODULES}/quran-json/dist/quran.json")
set(AYAH_PICTURES_STAMP "${NORAVEL_DATA_DIR}/ayah_pictures.stamp")

# Drawing and encoding, shared by the generator and its test (the test's copy has sanitizers).
function(ayah_picture_library name)
    add_library(${name} STATIC ${CMAKE_CURRENT_SOURCE_DIR}/ayah_picture.cpp
        ${CMAKE_SOURCE_DIR}/picture/glyph_runs.cpp
        ${CMAKE_SOURCE_DIR}/tajwid/tajwid_rules.cpp ${CMAKE_SOURCE_DIR}/tajwid/tajwid_legend.cpp)
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC PkgConfig::AYAH_SHAPING GIF::GIF)
    target_compile_options(${name} PUBLIC ${ARGN})
    target_link_options(${name} PUBLIC ${ARGN})
endfunction()
ayah_picture_library(ayah_picture)
ayah_picture_library(ayah_picture_san ${NORAVEL_SANITIZE})

add_executable(make_ayah_pictures ${CMAKE_CURRENT_SOURCE_DIR}/make_ayah_pictures.cpp)
# noravel_core: the spelling form of the tolerant search, whose letters the runs name.
target_link_libraries(make_ayah_pictures PRIVATE ayah_picture noravel_core nlohmann_json::nlohmann_json Threads::Threads)


# With them the glyph runs of every ayah as its picture places them, and the font beside
# the program, from which the reader draws the text at any size.
set(AYAH_RUNS_FILE "${NORAVEL_DIST_DIR}/ayah_runs.bin")
add_custom_command(
    OUTPUT ${AYAH_PICTURES_STAMP} ${AYAH_RUNS_FILE}
    # The 2x and tajwid picture sets of earlier builds are drawn from the runs now: a build
    # folder that still holds them would put them into the program folder and the release.
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${NORAVEL_DIST_DIR}/gif2x ${NORAVEL_DIST_DIR}/tajwid
    COMMAND make_ayah_pictures ${AYAH_PICTURES_JSON} ${NORAVEL_AMIRI_QURAN_FONT}
            ${NORAVEL_DIST_DIR}/gif ${AYAH_PICTURES_STAMP} --runs ${AYAH_RUNS_FILE}
    DEPENDS make_ayah_pictures ${AYAH_PICTURES_JSON} ${NORAVEL_AMIRI_QURAN_FONT}
    COMMENT "Drawing the 6,236 ayah pictures into ${NORAVEL_DIST_DIR}/gif"
    VERBATIM)
add_custom_command(
    OUTPUT ${NORAVEL_DIST_DIR}/AmiriQuran.ttf
    COMMAND ${CMAKE_COMMAND} -E make_directory ${NORAVEL_DIST_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${NORAVEL_AMIRI_QURAN_FONT} ${NORAVEL_DIST_DIR}/AmiriQuran.ttf
    DEPENDS ${NORAVEL_AMIRI_QURAN_FONT}
    COMMENT "Copying the Amiri Quran font beside the program"
    VERBATIM)
# Its licence beside it (SIL Open Font License 1.1), from Debian's copyright file.
set(AMIRI_COPYRIGHT /usr/share/doc/fonts-hosny-amiri/copyright CACHE FILEPATH
    "Debian's copyright file of the Amiri fonts, with the OFL text")
add_custom_command(
    OUTPUT ${NORAVEL_DIST_DIR}/AmiriQuran-OFL.txt
    COMMAND ${CMAKE_COMMAND} -DCOPYRIGHT=${AMIRI_COPYRIGHT}
            -DOUT=${NORAVEL_DIST_DIR}/AmiriQuran-OFL.txt -P ${CMAKE_SOURCE_DIR}/cmake/font-licence.cmake
    DEPENDS ${AMIRI_COPYRIGHT} ${CMAKE_SOURCE_DIR}/cmake/font-licence.cmake
    COMMENT "Writing the font's licence beside the program"
    VERBATIM)
add_custom_target(ayah_pictures DEPENDS ${AYAH_PICTURES_STAMP} ${NORAVEL_DIST_DIR}/AmiriQuran.ttf
    ${NORAVEL_DIST_DIR}/AmiriQuran-OFL.txt)
add_dependencies(generated_data ayah_pictures)

# Its test: line breaking, palette and GIF layout, real ayat drawn in the font, and the
# generator program on made-up text.
add_executable(ayah_pictures_test ${CMAKE_SOURCE_DIR}/tests/tools/ayah_pictures_test.cpp)
target_link_libraries(ayah_pictures_test PRIVATE ayah_picture_san GTest::gtest_main)
target_link_libraries(ayah_pictures_test PRIVATE nlohmann_json::nlohmann_json)
target_compile_definitions(ayah_pictures_test PRIVATE
    AMIRI_QURAN_FONT="${NORAVEL_AMIRI_QURAN_FONT}" QURAN_JSON="${AYAH_PICTURES_JSON}"
    MAKE_AYAH_PICTURES="$<TARGET_FILE:make_ayah_pictures>")
add_dependencies(ayah_pictures_test make_ayah_pictures)
include(GoogleTest)
gtest_discover_tests(ayah_pictures_test DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native)

# The program's own outline reader and rasteriser against FreeType, which draws the pictures.
add_executable(font_outlines_freetype_test ${CMAKE_SOURCE_DIR}/tests/tools/font_outlines_freetype_test.cpp)
target_link_libraries(font_outlines_freetype_test PRIVATE noravel_core_san PkgConfig::AYAH_SHAPING
    GTest::gtest_main)
target_compile_definitions(font_outlines_freetype_test PRIVATE
    AMIRI_QURAN_FONT="${NORAVEL_AMIRI_QURAN_FONT}")
gtest_discover_tests(font_outlines_freetype_test DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native)
