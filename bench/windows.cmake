# Benchmarks of the Windows build. Each runs in the Wine test bed through its script in
# scripts/, never through ctest: they measure and fail nothing.

# The time from OK in the translation search to the filled result list, with the list's
# redrawing switched off while it fills and with a repaint per line, each as a ratio to a
# search with a handful of hits in the same reader (scripts/result-list-bench.sh).
add_executable(result_list_bench ${CMAKE_CURRENT_LIST_DIR}/result_list_bench_win.cpp)
target_link_libraries(result_list_bench PRIVATE reader_session)
set_target_properties(result_list_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
add_dependencies(result_list_bench noravel)

# Drawing 2:255 at 192 DPI from the glyph runs and the font, as a ratio to decoding and
# scaling a picture drawn at twice the size, in the same process (scripts/ayah-drawing-bench.sh).
add_executable(ayah_drawing_bench ${CMAKE_CURRENT_LIST_DIR}/ayah_drawing_bench_win.cpp)
target_link_libraries(ayah_drawing_bench PRIVATE noravel_win)
target_compile_definitions(ayah_drawing_bench PRIVATE NORAVEL_DIST_DIR="${NORAVEL_DIST_DIR}")
set_target_properties(ayah_drawing_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

# One frame of the reading view's paint while surah 2 is scrolled top to bottom, at 96 and
# 192 DPI, as a ratio to a frame that only covers the buffer (scripts/reading-view-bench.sh).
add_executable(reading_view_bench ${CMAKE_CURRENT_LIST_DIR}/reading_view_bench_win.cpp
               $<TARGET_OBJECTS:noravel_resources>)
target_link_libraries(reading_view_bench PRIVATE noravel_win)
set_target_properties(reading_view_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
