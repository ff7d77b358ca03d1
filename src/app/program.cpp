#include "app/program.h"

#include "app/applicationsetup.h"
#include "app/consolestream.h"
#include "cli/commandline.h"
#include "app/sessionguard.h"
#include "app/standardstreams.h"
#include "paths/paths.h"
#include "saving/logpaths.h"
#include "layout/pagesetting.h"
#include "saving/logsetting.h"
#include "saving/writerchoice.h"
#include "teacher/classwindowmain.h"
#include "window/morvel2.h"

#include <QApplication>
#include <QFile>

#include <cstdio>

namespace {

std::optional<int> answerCommandLine(int argc, char *argv[])
{
    if (argc <= 1)
        return std::nullopt;
    const QStringList arguments = commandLineArguments(argc, argv);
    const std::unique_ptr<QIODevice> out = openStandardStream(StandardStream::Output);
    const std::unique_ptr<QIODevice> err = openStandardStream(StandardStream::Error);
    if (!out || !err)
        return 1;
    return runCommandLine(arguments, resultsLogLocation(), *out, *err);
}

// The settings that could not be used, each on its own line.
QString joinedWarnings(QStringList warnings)
{
    warnings.removeAll(QString());
    return warnings.join(u'\n');
}

} // namespace

int runProgram(int argc, char *argv[], const std::function<void(QWidget &)> &beforeShow,
               const ReadingSettings &reading)
{
    // First of all: a file opened while one of them is closed would take its number.
    openStandardStreams();
    if (argc > 1) {
        if (const std::optional<QStringList> paths = classWindowPaths(commandLineArguments(argc, argv)))
            return runClassWindow(*paths, argv[0]);
    }
    if (const std::optional<int> status = answerCommandLine(argc, argv))
        return *status;
    // The toolkit gets no options of the command line: none may change what
    // the pupil sees.
    int toolkitArgc = 1;
    QApplication app(toolkitArgc, argv);
    setUpApplication();
    guardSession();

    const LogLocation log = resultsLogLocation();
    const QString unsafe = pupilLogWarning(log, rescueLogPath());
    const FoundSetting pageFound = findSetting(logSettingSources(), QStringLiteral("window"), QStringLiteral("page"));
    const PageSettingRead page = readPageSetting(pageFound.value, pageFound.source, pageFound.problem);
    Morvel2 window(WindowContext{{log.path, rescueLogPath()}, joinedWarnings({log.warning, unsafe, page.warning}),
                                 driveRoot(), writersFor(log), page.setting, reading});
    // Leaving the event loop rather than quitting: quit() would first ask the
    // window to close, which it refuses, and returning from here lets the
    // application object hand the clipboard over before the process ends.
    QObject::connect(&window, &Morvel2::programEnded, &app,
                     [](int exitStatus) { QCoreApplication::exit(exitStatus); });
    if (beforeShow)
        beforeShow(window);
    window.show();
    return QApplication::exec();
}
