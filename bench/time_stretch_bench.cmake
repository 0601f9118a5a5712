# The baseline is plain decoding of the same mp3 by libmpg123; the mp3 (ten seconds of a
# gliding tone) is made at build time with sox and lame.
find_library(MPG123_LIBRARY mpg123 REQUIRED)
find_path(MPG123_INCLUDE mpg123.h REQUIRED)
target_link_libraries(${name} PRIVATE ${MPG123_LIBRARY})
target_include_directories(${name} PRIVATE ${MPG123_INCLUDE})
find_program(NORAVEL_SOX sox REQUIRED)
find_program(NORAVEL_LAME lame REQUIRED)
set(bench_mp3 ${CMAKE_CURRENT_BINARY_DIR}/glide10.mp3)
add_custom_command(OUTPUT ${bench_mp3}
    COMMAND ${NORAVEL_SOX} -n -r 44100 -c 2 ${CMAKE_CURRENT_BINARY_DIR}/glide10.wav
            synth 10 sine 120-400 sine 240-800 vol 0.3
    COMMAND ${NORAVEL_LAME} --quiet -b 128 ${CMAKE_CURRENT_BINARY_DIR}/glide10.wav ${bench_mp3}
    COMMENT "Making a 10-second mp3 for the time-stretch benchmark")
add_custom_target(time_stretch_bench_mp3 DEPENDS ${bench_mp3})
add_dependencies(${name} time_stretch_bench_mp3)
target_compile_definitions(${name} PRIVATE NORAVEL_STRETCH_BENCH_MP3="${bench_mp3}")
