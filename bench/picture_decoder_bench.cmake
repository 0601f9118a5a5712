# The benchmark compares our GIF decoder with giflib's.
find_library(GIF_LIBRARY gif REQUIRED)
target_link_libraries(${name} PRIVATE ${GIF_LIBRARY})
