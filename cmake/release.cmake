# The release: build/release/Noravel-<version>-setup.exe (NSIS) and
# build/release/Noravel-<version>-portable.zip, both made from one staged copy of the
# program folder. Not part of ALL: `cmake --build build/win --target release`.
#
# The staged folder holds what a user gets: the program folder as built (the reader, its
# two companion programs, gif\, html\, help.htm and what the help page shows) and an mp3\
# folder with only a note on the recitation files.

# Name, version and publisher come from the header the program itself uses.
file(STRINGS ${CMAKE_SOURCE_DIR}/resources/version.h version_lines REGEX "^#define NORAVEL_(VERSION_TEXT|PUBLISHER) ")
foreach(line IN LISTS version_lines)
    if(line MATCHES "^#define NORAVEL_([A-Z_]+) \"([^\"]*)\"")
        set(NORAVEL_RELEASE_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
    endif()
endforeach()
if(NOT NORAVEL_RELEASE_VERSION_TEXT OR NOT NORAVEL_RELEASE_PUBLISHER)
    message(FATAL_ERROR "resources/version.h names no NORAVEL_VERSION_TEXT or NORAVEL_PUBLISHER")
endif()

set(NORAVEL_RELEASE_DIR ${NORAVEL_BUILD_ROOT}/release)
set(NORAVEL_RELEASE_NAME Noravel-${NORAVEL_RELEASE_VERSION_TEXT})
set(NORAVEL_SETUP_EXE ${NORAVEL_RELEASE_DIR}/${NORAVEL_RELEASE_NAME}-setup.exe)
set(NORAVEL_PORTABLE_ZIP ${NORAVEL_RELEASE_DIR}/${NORAVEL_RELEASE_NAME}-portable.zip)
set(release_stage_root ${NORAVEL_RELEASE_DIR}/stage)
set(release_stage ${release_stage_root}/Noravel)
set(release_lists ${NORAVEL_RELEASE_DIR}/lists)
file(MAKE_DIRECTORY ${NORAVEL_RELEASE_DIR})

# The note in mp3\ with Windows line ends, for Notepad of every Windows version.
configure_file(${CMAKE_SOURCE_DIR}/scripts/mp3-folder.txt ${CMAKE_BINARY_DIR}/release/mp3-README.txt
    @ONLY NEWLINE_STYLE CRLF)

find_program(NORAVEL_MAKENSIS makensis)

if(NORAVEL_MAKENSIS)
    # The whole program folder goes out, except recitation files: none are shipped, and
    # a developer's own recordings in build/dist/mp3 stay at home.
    set(release_required Noravel.exe zemplay.exe morvent.exe help.htm gif/1/1_1.gif gif/114/114_6.gif
        ayah_runs.bin AmiriQuran.ttf AmiriQuran-OFL.txt
        html/qs1 html/qs114)
    string(REPLACE ";" "," release_required "${release_required}")

    add_custom_target(release
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${release_stage_root} ${release_lists}
            ${NORAVEL_SETUP_EXE} ${NORAVEL_PORTABLE_ZIP}
        COMMAND ${CMAKE_COMMAND} -E copy_directory ${NORAVEL_DIST_DIR} ${release_stage}
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${release_stage}/mp3
        COMMAND ${CMAKE_COMMAND} -E make_directory ${release_stage}/mp3
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/release/mp3-README.txt ${release_stage}/mp3/README.txt
        COMMAND ${CMAKE_COMMAND} -DSTAGE=${release_stage} -DOUT=${release_lists} -DREQUIRED=${release_required}
            -P ${CMAKE_SOURCE_DIR}/cmake/release-files.cmake
        # The programs go out without their debugging information (a third of the reader's
        # size); the stripped file's header time is fixed so that the same program strips to
        # the same bytes (scripts/release-test.sh compares them).
        COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
            ${CMAKE_STRIP} --strip-debug ${release_stage}/Noravel.exe
            ${release_stage}/zemplay.exe ${release_stage}/morvent.exe
        # Signed when NORAVEL_SIGN_CERT and NORAVEL_SIGN_KEY are set (scripts/sign.sh).
        COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/sign.sh ${release_stage}/Noravel.exe
            ${release_stage}/zemplay.exe ${release_stage}/morvent.exe
        COMMAND ${NORAVEL_MAKENSIS} -V2 -NOCD -DSIGN_SCRIPT=${CMAKE_SOURCE_DIR}/scripts/sign.sh
            -DVERSION=${NORAVEL_RELEASE_VERSION_TEXT} "-DPUBLISHER=${NORAVEL_RELEASE_PUBLISHER}"
            -DLISTS_DIR=${release_lists} -DICON_FILE=${NORAVEL_DATA_DIR}/noravel.ico
            -DOUT_FILE=${NORAVEL_SETUP_EXE} ${CMAKE_SOURCE_DIR}/scripts/installer.nsi
        COMMAND ${CMAKE_COMMAND} -E chdir ${release_stage_root}
            ${CMAKE_COMMAND} -E tar cf ${NORAVEL_PORTABLE_ZIP} --format=zip Noravel
        WORKING_DIRECTORY ${NORAVEL_RELEASE_DIR}
        COMMENT "Making ${NORAVEL_RELEASE_NAME}-setup.exe and ${NORAVEL_RELEASE_NAME}-portable.zip"
        VERBATIM)
    add_dependencies(release noravel companions)
else()
    add_custom_target(release
        COMMAND ${CMAKE_COMMAND} -E echo "makensis is missing: apt-get install nsis"
        COMMAND ${CMAKE_COMMAND} -E false
        VERBATIM)
endif()

# Looks at the installed or unpacked reader from inside Wine for the release tests.
add_executable(release_probe ${CMAKE_SOURCE_DIR}/tests/release/release_probe.cpp)
target_link_libraries(release_probe PRIVATE reader_session ole32 uuid shell32 version user32 gdi32 comctl32)

# The release tests: the first makes the release (and the probe), signed with a
# throwaway self-signed certificate that release_certificate makes; the other two install
# setup.exe into a fresh Wine prefix and unpack the zip into a fresh folder, each
# starting the reader from there. They use their own prefixes, not the test bed's.
# release_signatures checks every signature against that certificate.
set(release_test_cert ${NORAVEL_RELEASE_DIR}/test-certificate)
set(release_sign_env NORAVEL_SIGN_CERT=${release_test_cert}/cert.pem
    NORAVEL_SIGN_KEY=${release_test_cert}/key.pem)
add_test(NAME release_certificate
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/release/signatures.sh make ${release_test_cert})
set_tests_properties(release_certificate PROPERTIES LABELS release FIXTURES_SETUP release_cert)
add_test(NAME release_package
    COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target release release_probe)
set_tests_properties(release_package PROPERTIES LABELS release TIMEOUT 900
    FIXTURES_SETUP release_files FIXTURES_REQUIRED release_cert
    ENVIRONMENT "${release_sign_env}")
add_test(NAME release_signatures
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/release/signatures.sh verify ${release_test_cert}
        ${NORAVEL_SETUP_EXE} ${release_stage}/Noravel.exe ${release_stage}/zemplay.exe
        ${release_stage}/morvent.exe)
set_tests_properties(release_signatures PROPERTIES LABELS release
    FIXTURES_REQUIRED "release_files;release_cert")
foreach(kind install portable)
    add_test(NAME release_${kind}
        COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/release-test.sh ${kind}
            ${NORAVEL_SETUP_EXE} ${NORAVEL_PORTABLE_ZIP} $<TARGET_FILE:release_probe>
            ${NORAVEL_DATA_DIR}/noravel.ico ${NORAVEL_RELEASE_DIR}/test-${kind})
    set_tests_properties(release_${kind} PROPERTIES LABELS "release;wine" TIMEOUT 900
        FIXTURES_REQUIRED release_files
        ENVIRONMENT "NORAVEL_DIST_DIR=${NORAVEL_DIST_DIR};NORAVEL_SIGNED_BY=${release_test_cert}/cert.pem")
endforeach()
