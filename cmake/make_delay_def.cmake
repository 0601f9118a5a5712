# Writes a module-definition file that names every function of a toolchain import library,
# for dlltool to make its delay-load counterpart from.
#   cmake -DNM=<nm> -DLIBRARY=<libX.a> -DDLL=<X.dll> -DDEF=<out.def> -P make_delay_def.cmake
execute_process(COMMAND ${NM} ${LIBRARY} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${NM} ${LIBRARY} failed")
endif()
# A function has both a thunk (T name) and an import slot (I __imp_name); data has no thunk.
string(REGEX MATCHALL "[0-9a-f]+ T [A-Za-z_][A-Za-z0-9_@]*" thunks "${symbols}")
set(exports "")
foreach(line IN LISTS thunks)
    string(REGEX REPLACE "^[0-9a-f]+ T " "" name "${line}")
    string(FIND "${symbols}" " I __imp_${name}\n" slot)
    if(NOT slot EQUAL -1)
        string(APPEND exports "    ${name}\n")
    endif()
endforeach()
if(exports STREQUAL "")
    message(FATAL_ERROR "no functions found in ${LIBRARY}")
endif()
file(WRITE ${DEF} "LIBRARY ${DLL}\nEXPORTS\n${exports}")
