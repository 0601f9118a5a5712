# The program icon (resource 110) and the background tiles (resources 122 and 123).
add_executable(make_art ${CMAKE_CURRENT_SOURCE_DIR}/make_art.cpp)
add_custom_command(
    OUTPUT ${NORAVEL_DATA_DIR}/noravel.ico ${NORAVEL_DATA_DIR}/background.bmp
        ${NORAVEL_DATA_DIR}/background_night.bmp
    COMMAND ${CMAKE_COMMAND} -E make_directory ${NORAVEL_DATA_DIR}
    COMMAND make_art ${NORAVEL_DATA_DIR}
    DEPENDS make_art
    COMMENT "Drawing the icon and the background tile")
add_custom_target(art DEPENDS ${NORAVEL_DATA_DIR}/noravel.ico ${NORAVEL_DATA_DIR}/background.bmp
    ${NORAVEL_DATA_DIR}/background_night.bmp)
add_dependencies(generated_data art)
