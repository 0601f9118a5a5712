# The translation resources (150..160): each translation of the quran-json package and
# its transliteration in UTF-8 with the meanings of the surah names, then checked against
# the package by a separate reader of what was written: the build fails on a difference.
include(${CMAKE_SOURCE_DIR}/cmake/translation_languages.cmake)
set(quran_json_dir ${NORAVEL_NODE_MODULES}/quran-json/dist)
find_package(nlohmann_json 3 REQUIRED)

add_executable(make_translation_resources
    ${CMAKE_CURRENT_SOURCE_DIR}/make_translation_resources.cpp)
target_include_directories(make_translation_resources PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(make_translation_resources PRIVATE nlohmann_json::nlohmann_json)
add_executable(check_translation_resources
    ${CMAKE_CURRENT_SOURCE_DIR}/check_translation_resources.cpp)
target_include_directories(check_translation_resources PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(check_translation_resources PRIVATE nlohmann_json::nlohmann_json
    noravel_core)

set(translation_files)
set(translation_inputs)
set(index 150)
foreach(code IN LISTS NORAVEL_TRANSLATION_CODES)
    list(APPEND translation_files ${NORAVEL_DATA_DIR}/${index}_translation_${code}.txt)
    list(APPEND translation_inputs ${quran_json_dir}/quran_${code}.json)
    math(EXPR index "${index} + 1")
endforeach()
set(translation_stamp ${NORAVEL_DATA_DIR}/translations.checked)
add_custom_command(
    OUTPUT ${translation_files}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${NORAVEL_DATA_DIR}
    COMMAND make_translation_resources --quran-json ${quran_json_dir} --out ${NORAVEL_DATA_DIR}
            ${NORAVEL_TRANSLATION_CODES}
    DEPENDS make_translation_resources ${translation_inputs}
    COMMENT "Converting the translations"
    VERBATIM)
add_custom_command(
    OUTPUT ${translation_stamp}
    COMMAND check_translation_resources --quran-json ${quran_json_dir} --data ${NORAVEL_DATA_DIR}
            ${NORAVEL_TRANSLATION_CODES}
    COMMAND ${CMAKE_COMMAND} -E touch ${translation_stamp}
    DEPENDS check_translation_resources ${translation_files} ${translation_inputs}
    COMMENT "Checking every translated ayah against the package"
    VERBATIM)
add_custom_target(translation_resources DEPENDS ${translation_files} ${translation_stamp})
add_dependencies(generated_data translation_resources)

# What the searches of the tests should find, counted from the package by a separate
# reckoning in Python (tests/native/unicode_search_test.cpp sets the search against it).
set(search_expectations ${NORAVEL_DATA_DIR}/translation_search_expected.txt)
add_custom_command(
    OUTPUT ${search_expectations}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${NORAVEL_DATA_DIR}
    COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/support/count_translation_hits.py ${quran_json_dir}
            ${search_expectations}
    DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/count_translation_hits.py ${translation_inputs}
    COMMENT "Counting the test searches' hits in the package"
    VERBATIM)
add_custom_target(translation_search_expectations DEPENDS ${search_expectations})
add_dependencies(generated_data translation_search_expectations)
