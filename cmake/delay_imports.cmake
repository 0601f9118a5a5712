# Libraries that the first paint of the reader does not use are bound when a function of
# theirs is first called, not when the program starts: delay-load import libraries made at
# build time with dlltool from the toolchain's own import libraries (the helper that binds
# them, __delayLoadHelper2, comes with MinGW-w64's runtime). The program still needs no DLL
# beyond those of Windows; each is loaded from the system folder (the start-up restricts
# the search to it).
find_program(NORAVEL_MINGW_NM x86_64-w64-mingw32-nm REQUIRED)
find_program(NORAVEL_MINGW_DLLTOOL x86_64-w64-mingw32-dlltool REQUIRED)
set(NORAVEL_DELAYED_DLLS ole32 oleaut32 shell32 shlwapi winhttp)
set(NORAVEL_DELAY_DIR ${CMAKE_BINARY_DIR}/delay_imports)
set(NORAVEL_DELAYED_LIBRARIES)
foreach(dll IN LISTS NORAVEL_DELAYED_DLLS)
    find_file(NORAVEL_IMPORT_LIBRARY_${dll} lib${dll}.a
        PATHS /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH REQUIRED)
    set(def ${NORAVEL_DELAY_DIR}/${dll}.def)
    set(delayed ${NORAVEL_DELAY_DIR}/lib${dll}_delayed.a)
    add_custom_command(OUTPUT ${delayed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${NORAVEL_DELAY_DIR}
        COMMAND ${CMAKE_COMMAND} -DNM=${NORAVEL_MINGW_NM}
                -DLIBRARY=${NORAVEL_IMPORT_LIBRARY_${dll}} -DDLL=${dll}.dll -DDEF=${def}
                -P ${CMAKE_SOURCE_DIR}/cmake/make_delay_def.cmake
        COMMAND ${NORAVEL_MINGW_DLLTOOL} -d ${def} -D ${dll}.dll -y ${delayed}
        DEPENDS ${NORAVEL_IMPORT_LIBRARY_${dll}} ${CMAKE_SOURCE_DIR}/cmake/make_delay_def.cmake
        COMMENT "Making the delay-load import library of ${dll}.dll")
    list(APPEND NORAVEL_DELAYED_LIBRARIES ${delayed})
endforeach()
add_custom_target(delay_imports DEPENDS ${NORAVEL_DELAYED_LIBRARIES})
