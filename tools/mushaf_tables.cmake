# The tables of the Madinah mushaf (pages, hizb quarters, places of prostration) that the
# portable core compiles in, converted from the quran-meta package; and, for the native
# tests, what the package's own functions answer for every ayah (node, from the package's
# built code rather than the lists the converter reads).
set(quran_meta_dir ${NORAVEL_NODE_MODULES}/quran-meta)
set(mushaf_tables ${NORAVEL_DATA_DIR}/mushaf_tables.inc)
set(mushaf_expected ${NORAVEL_DATA_DIR}/mushaf_expected.txt)

add_executable(make_mushaf_tables ${CMAKE_CURRENT_SOURCE_DIR}/make_mushaf_tables.cpp)
target_include_directories(make_mushaf_tables PRIVATE ${CMAKE_SOURCE_DIR})
add_custom_command(
    OUTPUT ${mushaf_tables}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${NORAVEL_DATA_DIR}
    COMMAND make_mushaf_tables --quran-meta ${quran_meta_dir} --out ${mushaf_tables}
    DEPENDS make_mushaf_tables ${quran_meta_dir}/src/lists/HafsLists.ts
            ${quran_meta_dir}/package.json
    COMMENT "Converting the mushaf's pages, quarters and prostrations"
    VERBATIM)
add_custom_target(mushaf_tables DEPENDS ${mushaf_tables})
add_dependencies(generated_data mushaf_tables)
# The core compiles the tables in (text/mushaf_pages.cpp).
foreach(core noravel_core noravel_core_san)
    if(TARGET ${core})
        add_dependencies(${core} mushaf_tables)
    endif()
endforeach()

find_program(NORAVEL_NODE node REQUIRED)
add_custom_command(
    OUTPUT ${mushaf_expected}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${NORAVEL_DATA_DIR}
    COMMAND ${NORAVEL_NODE} ${CMAKE_SOURCE_DIR}/tests/support/quran_meta_expected.mjs
            ${NORAVEL_NODE_MODULES} ${mushaf_expected}
    DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/quran_meta_expected.mjs
            ${quran_meta_dir}/dist/hafs.js
    COMMENT "Asking quran-meta for the page, quarter and prostration of every ayah"
    VERBATIM)
add_custom_target(mushaf_expectations DEPENDS ${mushaf_expected})
add_dependencies(generated_data mushaf_expectations)
