# The six scripture text resources (130, 131, 133, 134, 137, 139), converted from the
# quran-json package. Set NORAVEL_TIMING_CSV to a CSV of real recitation timings
# (surah,ayah,file,start_ms,end_ms) to use it instead of the reading-speed model.
set(NORAVEL_TIMING_CSV "" CACHE FILEPATH "CSV of real recitation timings (empty: use the model)")
find_package(nlohmann_json 3 REQUIRED)

add_executable(make_text_resources ${CMAKE_CURRENT_SOURCE_DIR}/make_text_resources.cpp)
target_include_directories(make_text_resources PRIVATE ${CMAKE_SOURCE_DIR})
# The spelling form folds its letters as the search folds a query.
target_link_libraries(make_text_resources PRIVATE nlohmann_json::nlohmann_json noravel_core)

set(quran_json_dir ${NORAVEL_NODE_MODULES}/quran-json/dist)
set(text_resource_files
    ${NORAVEL_DATA_DIR}/130_surahs.txt
    ${NORAVEL_DATA_DIR}/131_indonesian.txt
    ${NORAVEL_DATA_DIR}/133_english.txt
    ${NORAVEL_DATA_DIR}/134_arabic.txt
    ${NORAVEL_DATA_DIR}/137_timing.txt
    ${NORAVEL_DATA_DIR}/139_arabic_spelling.txt)
set(timing_args)
if(NORAVEL_TIMING_CSV)
    set(timing_args --timing-csv ${NORAVEL_TIMING_CSV})
endif()
add_custom_command(
    OUTPUT ${text_resource_files}
    COMMAND make_text_resources --quran-json ${quran_json_dir} --out ${NORAVEL_DATA_DIR} ${timing_args}
    DEPENDS make_text_resources ${quran_json_dir}/quran_id.json ${quran_json_dir}/quran_en.json
            ${NORAVEL_TIMING_CSV}
    COMMENT "Converting the scripture text resources"
    VERBATIM)
add_custom_target(text_resources DEPENDS ${text_resource_files})
add_dependencies(generated_data text_resources)
