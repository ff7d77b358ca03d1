# The Qt tests of the Windows build, run under Wine by CTest. Included by
# tests/CMakeLists.txt when building for Windows, before any test is made.

# Built on Linux, every test program starts through under-wine.sh, which
# gives it a Wine prefix of its own and finds the DLLs. On Windows itself
# the tests run as they are.
if(CMAKE_CROSSCOMPILING)
    set(CMAKE_CROSSCOMPILING_EMULATOR bash ${CMAKE_CURRENT_LIST_DIR}/under-wine.sh)
endif()

# Tests of the POSIX branches: their code is not in the Windows build. Each
# is named at configure time with what tests its Windows counterpart.
set(morvel2_posix_only_tests tst_appendfile tst_pupillog tst_logrights tst_logpaths tst_logsetting tst_sessionend
    tst_exercisesfolder tst_adaptationsfolder)
set(morvel2_posix_only_tst_appendfile
    "flock, fifos and owners; the Windows writer runs under Wine in the Linux build's windows_wine_appendfile")
set(morvel2_posix_only_tst_pupillog
    "owners, modes and the path walk; on a Windows share the folder's permissions do that work")
set(morvel2_posix_only_tst_logrights
    "POSIX lists of rights; on Windows --verifier reads the folder's, as windows_wine_appendfile and windows_exercise check")
set(morvel2_posix_only_tst_logpaths
    "passwd entries and XDG folders; Windows' C:\\ and %APPDATA% paths are checked by tst_windowssettings")
set(morvel2_posix_only_tst_logsetting
    "XDG configuration files; the registry setting is checked by tst_windowssettings and windows_exercise")
set(morvel2_posix_only_tst_exercisesfolder
    "owners, modes, links and XDG files of the exercises' folder; the Windows reading is checked by windows_exercise")
set(morvel2_posix_only_tst_adaptationsfolder
    "owners, modes, lists of rights and links of the adaptations' folder; the Windows reading is checked by windows_exercise")
set(morvel2_posix_only_tst_sessionend
    "signals and fork; the rescue at a Windows logout is checked by windows_exercise")

# Wine finds the DLLs through its own PATH: the compiler's runtime first
# (the one the tests were built with), then Qt's.
if(CMAKE_CROSSCOMPILING)
    include(${PROJECT_SOURCE_DIR}/cmake/mingw-runtime.cmake)
    set(morvel2_wine_dll_dirs ${MORVEL2_MINGW_RUNTIME_DIRS} $<TARGET_FILE_DIR:Qt6::Core>)
    list(JOIN morvel2_wine_dll_dirs ":" morvel2_wine_dll_dirs)
endif()

set(morvel2_windows_tests ${CMAKE_CURRENT_LIST_DIR})
set(MORVEL2_LINUX_PROGRAM "" CACHE FILEPATH
    "A Linux build of morvel2 whose record the Windows one's is compared with (otherwise tests/windows/linux-record.txt)")

# The tests of Windows' own code, and, built on Linux, the environment every
# Wine test adds to its own and the whole exercise under Wine from the MSI
# (which windows_package makes with every build).
function(morvel2_wine_test_environment)
    # Windows' own settings and paths.
    qt_add_executable(tst_windowssettings ${morvel2_windows_tests}/tst_windowssettings.cpp)
    target_link_libraries(tst_windowssettings PRIVATE morvel2_core Qt6::Test)
    add_test(NAME tst_windowssettings COMMAND tst_windowssettings)
    set_tests_properties(tst_windowssettings PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
    # What the commands print, to a console, a file or a pipe.
    qt_add_executable(tst_consolestream ${morvel2_windows_tests}/tst_consolestream.cpp)
    target_link_libraries(tst_consolestream PRIVATE morvel2_core Qt6::Test)
    add_test(NAME tst_consolestream COMMAND tst_consolestream)
    set_tests_properties(tst_consolestream PROPERTIES TIMEOUT 120)
    # Wine gives a console only to a program started on a terminal: the
    # console's case again, on one that script(1) makes.
    find_program(MORVEL2_SCRIPT script)
    if(CMAKE_CROSSCOMPILING AND MORVEL2_SCRIPT)
        add_test(NAME tst_consolestream_console COMMAND ${MORVEL2_SCRIPT} -qec
            "bash ${morvel2_windows_tests}/under-wine.sh $<TARGET_FILE:tst_consolestream> consoleGetsUtf16" /dev/null)
        set_tests_properties(tst_consolestream_console PROPERTIES TIMEOUT 120
            ENVIRONMENT "MORVEL2_CONSOLE_EXPECTED=1;TERM=dumb;LANG=C.UTF-8")
    endif()
    if(NOT CMAKE_CROSSCOMPILING)
        return()
    endif()
    add_test(NAME windows_package
        COMMAND bash ${morvel2_windows_tests}/cross-compile.sh ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
    add_test(NAME windows_exercise
        COMMAND bash ${morvel2_windows_tests}/exercise.sh
            ${PROJECT_BINARY_DIR}/morvel2-${PROJECT_VERSION}-win64.msi ${PROJECT_BINARY_DIR}/screenshots)
    set_tests_properties(windows_exercise PROPERTIES TIMEOUT 300
        ENVIRONMENT "TMPDIR=/var/tmp;MORVEL2_LINUX_PROGRAM=${MORVEL2_LINUX_PROGRAM}")
    # A pupil's first log in a folder the pupil may not list, which Wine
    # refuses to make: said by --verifier and at start-up.
    add_test(NAME windows_wine_listing COMMAND bash ${morvel2_windows_tests}/listing.sh $<TARGET_FILE_DIR:morvel2>)
    set_tests_properties(windows_wine_listing PROPERTIES TIMEOUT 180 ENVIRONMENT "TMPDIR=/var/tmp")
    get_property(tests DIRECTORY PROPERTY TESTS)
    foreach(test ${tests})
        set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT "MORVEL2_WINE_DLL_DIRS=${morvel2_wine_dll_dirs}"
            "MORVEL2_WINE_TEMPLATE=${PROJECT_BINARY_DIR}/wine-template")
        set_property(TEST ${test} APPEND PROPERTY LABELS windows)
        set_property(TEST ${test} PROPERTY SKIP_RETURN_CODE 77)
    endforeach()
endfunction()
