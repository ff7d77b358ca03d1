#include "results/standardstreams.h"
#include "window/commandline.h"
#include "window/morvel2.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#ifdef MORVEL2_EXIT_WHEN_READY
#include "exitwhenready.h"
#endif

int main(int argc, char *argv[])
{
    openStandardStreams();
    if (const std::optional<int> status = runCommandLine(argc, argv))
        return *status;
    // The toolkit gets no options of the command line: none may change what
    // the pupil sees.
    int toolkitArgc = 1;
    QApplication app(toolkitArgc, argv);
    QApplication::setApplicationName(QStringLiteral("morvel2"));
    // Whatever the toolkit itself shows, in French where the system has
    // Qt's French translations.
    QTranslator qtFrench;
    if (qtFrench.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtFrench);

    Morvel2 window;
    // Leaving the event loop rather than quitting: quit() would first ask the
    // window to close, which it refuses, and returning from main() lets the
    // application object hand the clipboard over before the process ends.
    QObject::connect(&window, &Morvel2::programEnded, &app,
                     [](int exitStatus) { QCoreApplication::exit(exitStatus); });
#ifdef MORVEL2_EXIT_WHEN_READY
    const ExitWhenReady probe(&window);
#endif
    window.show();
    return QApplication::exec();
}
