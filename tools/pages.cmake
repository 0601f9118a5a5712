# The browser pages: html/qs<S>/<P>.html (ten ayat per page) and help.htm in the program
# folder, from the Indonesian and English files of quran-json. A stamp records a complete run.
find_package(nlohmann_json REQUIRED)
add_executable(make_pages ${CMAKE_CURRENT_SOURCE_DIR}/make_pages.cpp)
target_link_libraries(make_pages PRIVATE nlohmann_json::nlohmann_json)

set(PAGES_INDONESIAN "${NORAVEL_NODE_MODULES}/quran-json/dist/quran_id.json")
set(PAGES_ENGLISH "${NORAVEL_NODE_MODULES}/quran-json/dist/quran_en.json")
set(PAGES_STAMP "${NORAVEL_DATA_DIR}/pages.stamp")
# The pages embed the Amiri Quran font (fonts-hosny-amiri) and ship its licence.
# NORAVEL_AMIRI_QURAN_FONT is found by ayah_pictures.cmake.
set(PAGES_FONT "${NORAVEL_AMIRI_QURAN_FONT}")
set(PAGES_FONT_COPYRIGHT "/usr/share/doc/fonts-hosny-amiri/copyright")
add_custom_command(
    OUTPUT ${PAGES_STAMP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${NORAVEL_DIST_DIR} ${NORAVEL_DATA_DIR}
    COMMAND make_pages ${PAGES_INDONESIAN} ${PAGES_ENGLISH} ${NORAVEL_DIST_DIR}
            ${PAGES_FONT} ${PAGES_FONT_COPYRIGHT}
    COMMAND ${CMAKE_COMMAND} -E touch ${PAGES_STAMP}
    DEPENDS make_pages ${PAGES_INDONESIAN} ${PAGES_ENGLISH} ${PAGES_FONT}
    COMMENT "Writing the commentary pages and the help page")
# The help page shows pictures of the reader; they are kept in docs/screenshots (made by
# scripts/screenshots.sh) and copied beside the page.
set(HELP_PICTURES "")
foreach(picture reader search arabic)
    set(source "${CMAKE_SOURCE_DIR}/docs/screenshots/${picture}.png")
    set(copy "${NORAVEL_DIST_DIR}/help/${picture}.png")
    add_custom_command(
        OUTPUT ${copy}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${NORAVEL_DIST_DIR}/help
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${copy}
        DEPENDS ${source}
        COMMENT "Copying ${picture}.png for the help page")
    list(APPEND HELP_PICTURES ${copy})
endforeach()
add_custom_target(pages DEPENDS ${PAGES_STAMP} ${HELP_PICTURES})
add_dependencies(generated_data pages)

# The pages opened in headless Chromium: every anchor that the reader's path formula names
# exists, and every link resolves.
find_program(NORAVEL_CHROMIUM NAMES chromium chromium-browser)
if(NORAVEL_CHROMIUM)
    add_test(NAME pages_in_chromium
        COMMAND ${CMAKE_SOURCE_DIR}/tests/tools/pages_check.sh ${NORAVEL_CHROMIUM}
                ${NORAVEL_DIST_DIR} ${CMAKE_CURRENT_BINARY_DIR}/pages_check)
    set_tests_properties(pages_in_chromium PROPERTIES LABELS native TIMEOUT 300)
endif()
