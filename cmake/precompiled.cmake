# The Qt headers nearly every file of the program and of its tests begins
# with, parsed once per build instead of once per file: they were most of
# each file's compile time, and four builds run at every check (Linux,
# Windows, sanitizers, a fresh machine). MORVEL2_PCH=OFF builds without.
set(morvel2_common_headers
    <QtCore/QObject> <QtCore/QString> <QtCore/QStringList> <QtCore/QList> <QtCore/QHash>
    <QtCore/QByteArray> <QtCore/QDateTime> <QtCore/QDir> <QtCore/QFile> <QtCore/QFileInfo>
    <QtCore/QVariant> <QtCore/QTimer> <QtGui/QFont> <QtGui/QFontMetrics> <QtWidgets/QWidget>
    <QtWidgets/QLabel> <QtWidgets/QBoxLayout> <QtWidgets/QDialog> <QtWidgets/QMessageBox>
    <memory> <optional> <string> <vector>)

# Precompiles the common headers for `target`, but for its Windows-only
# files: those define NOMINMAX before <windows.h>.
function(morvel2_precompile target)
    if(NOT MORVEL2_PCH)
        return()
    endif()
    target_precompile_headers(${target} PRIVATE ${morvel2_common_headers} ${ARGN})
    get_target_property(sources ${target} SOURCES)
    foreach(source ${sources})
        if(source MATCHES "_win\\.cpp$")
            set_source_files_properties(${source} TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
        endif()
    endforeach()
endfunction()
