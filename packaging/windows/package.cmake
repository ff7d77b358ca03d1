# The Windows package: the program, its console companion morvel2.com and
# what they need beside them, Qt's French, the guides and the example
# exercises, staged in one
# folder, then made into an MSI (wixl) and a plain zip of that folder.
# Included by packaging/CMakeLists.txt when building for Windows; made by
# the windows_package target, with every build: it takes seconds.
find_program(MORVEL2_WIXL wixl DOC "msitools' wixl, which makes the MSI")
find_file(MORVEL2_LGPL LGPL-3 PATHS /usr/share/common-licenses NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
    DOC "The GNU LGPL version 3, under which Qt's DLLs are shipped")
find_file(MORVEL2_GPL GPL-3 PATHS /usr/share/common-licenses NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
    DOC "The GNU GPL version 3, which the LGPL builds on")
# Qt's own texts in French (message boxes' buttons, file and print dialogs).
# A .qm file is the same on every system: the host Qt's, which is the same
# version, serves. Beside the program in translations\, Qt finds it as it
# finds the Linux one, where QLibraryInfo says translations are.
find_file(MORVEL2_QT_FRENCH qtbase_fr.qm
    PATHS ${QT_HOST_PATH}/share/qt6/translations /usr/share/qt6/translations NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
    DOC "Qt's French translation of its own texts (Debian: qt6-translations-l10n)")

set(package_root ${CMAKE_BINARY_DIR}/package)
file(MAKE_DIRECTORY ${package_root})
set(stage ${package_root}/morvel2)
set(msi ${CMAKE_BINARY_DIR}/morvel2-${PROJECT_VERSION}-win64.msi)
set(zip ${CMAKE_BINARY_DIR}/morvel2-${PROJECT_VERSION}-win64.zip)
set(wxs ${CMAKE_CURRENT_SOURCE_DIR}/windows/morvel2.wxs)
set(qt_bin $<TARGET_FILE_DIR:Qt6::Core>)
set(windows_text ${CMAKE_CURRENT_SOURCE_DIR}/windows/windowstext.cmake)
set(example_exercises ${CMAKE_CURRENT_SOURCE_DIR}/exercices/301-herisson.txt
    ${CMAKE_CURRENT_SOURCE_DIR}/exercices/302-phare.txt ${CMAKE_CURRENT_SOURCE_DIR}/exercices/303-cigognes.txt)

if(MORVEL2_WIXL AND MORVEL2_LGPL AND MORVEL2_GPL AND MORVEL2_QT_FRENCH)
    include(${PROJECT_SOURCE_DIR}/cmake/mingw-runtime.cmake)
    # Copies are stripped: Qt's and the compiler's DLLs come with their symbols.
    # The compiler's runtime is the one the program was built with, which may
    # be newer than the one Qt was built with.
    # PrintSupport: the teacher's window prints; Qt for Windows prints to
    # Windows' printers and to PDF from within that DLL, with no plugin.
    set(qt_dlls Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6PrintSupport.dll)
    list(TRANSFORM qt_dlls PREPEND ${qt_bin}/ OUTPUT_VARIABLE shipped_dll_paths)
    list(APPEND shipped_dll_paths ${MORVEL2_MINGW_RUNTIME_DLLS})
    set(staged_binaries)
    foreach(dll ${qt_dlls} libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        list(APPEND staged_binaries ${stage}/${dll})
    endforeach()
    list(APPEND staged_binaries ${stage}/morvel2.exe ${stage}/morvel2.com ${stage}/platforms/qwindows.dll
        ${stage}/styles/qwindowsvistastyle.dll)
    add_custom_command(OUTPUT ${msi} ${zip}
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage} ${msi} ${zip}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}/platforms ${stage}/styles ${stage}/translations
            ${stage}/fonts ${stage}/exercices
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:morvel2> $<TARGET_FILE:morvel2_console> ${shipped_dll_paths}
            ${stage}
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> ${stage}/platforms
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> ${stage}/styles
        COMMAND ${CMAKE_STRIP} --strip-unneeded ${staged_binaries}
        COMMAND ${CMAKE_COMMAND} -E copy ${MORVEL2_LGPL} ${stage}/LGPL-3.txt
        COMMAND ${CMAKE_COMMAND} -E copy ${MORVEL2_GPL} ${stage}/GPL-3.txt
        COMMAND ${CMAKE_COMMAND} -E copy ${MORVEL2_FONT_LICENSE} ${stage}/LiberationSans-LICENSE.txt
        COMMAND ${CMAKE_COMMAND} -E copy ${MORVEL2_ANDIKA_LICENSE} ${stage}/Andika-LICENSE.txt
        COMMAND ${CMAKE_COMMAND} -E copy ${MORVEL2_OPENDYSLEXIC_LICENSE} ${stage}/OpenDyslexic-LICENSE.txt
        COMMAND ${CMAKE_COMMAND} -E copy ${MORVEL2_QT_FRENCH} ${stage}/translations
        # The design font as files, which a PDF needs on Windows (src/app/fontfaces.h).
        COMMAND ${CMAKE_COMMAND} -E copy ${MORVEL2_FONT_FILES} ${stage}/fonts
        # The guides the program and the policy template point to.
        COMMAND ${CMAKE_COMMAND} -D INPUT=${PROJECT_SOURCE_DIR}/docs/enseignant.md -D OUTPUT=${stage}/enseignant.txt
            -P ${windows_text}
        COMMAND ${CMAKE_COMMAND} -D INPUT=${PROJECT_SOURCE_DIR}/docs/deployment.md -D OUTPUT=${stage}/deployment.txt
            -P ${windows_text}
        COMMAND ${CMAKE_COMMAND} -D INPUT=${PROJECT_SOURCE_DIR}/docs/exercices.md -D OUTPUT=${stage}/exercices.txt
            -P ${windows_text}
        # The example exercises as the program reads them, to copy and start from.
        COMMAND ${CMAKE_COMMAND} -E copy ${example_exercises} ${stage}/exercices
        COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_CURRENT_SOURCE_DIR}/windows/policies ${stage}/policies
        # wixl takes source paths relative to where it runs.
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/icons/morvel2.ico ${package_root}
        COMMAND ${MORVEL2_WIXL} -a x64 -D SourceDir=morvel2 -D Version=${PROJECT_VERSION}
            -D IconFile=morvel2.ico -o ${msi} ${wxs}
        COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip morvel2
        WORKING_DIRECTORY ${package_root}
        DEPENDS morvel2 morvel2_console ${wxs} ${CMAKE_CURRENT_SOURCE_DIR}/icons/morvel2.ico
            ${PROJECT_SOURCE_DIR}/docs/enseignant.md ${PROJECT_SOURCE_DIR}/docs/deployment.md
            ${PROJECT_SOURCE_DIR}/docs/exercices.md ${example_exercises} ${windows_text}
            ${MORVEL2_QT_FRENCH} ${MORVEL2_FONT_FILES}
            ${CMAKE_CURRENT_SOURCE_DIR}/windows/policies/morvel2.admx
            ${CMAKE_CURRENT_SOURCE_DIR}/windows/policies/fr-FR/morvel2.adml
            ${CMAKE_CURRENT_SOURCE_DIR}/windows/policies/en-US/morvel2.adml
        COMMENT "Making the MSI and the zip of morvel2 for Windows"
        VERBATIM)
    add_custom_target(windows_package ALL DEPENDS ${msi} ${zip})
else()
    add_custom_target(windows_package
        COMMAND ${CMAKE_COMMAND} -E echo "The Windows package needs wixl (Debian: msitools' wixl), the GNU"
            "licences in /usr/share/common-licenses and Qt's qtbase_fr.qm (Debian: qt6-translations-l10n)"
        COMMAND ${CMAKE_COMMAND} -E false)
endif()
