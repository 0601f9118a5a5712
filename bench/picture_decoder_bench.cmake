# The benchmark compares our GIF decoder with giflib's.
find_library(GIF_LIBRARY gif REQUIRED)
target_link_libraries(${name} PRIVATE ${GIF_LIBRARY})
# The hostile streams are made with the test builders of GIF files.
target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/native)
