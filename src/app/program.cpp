#include "app/program.h"

#include "adaptations/adaptationsfolder.h"
#include "app/applicationsetup.h"
#include "app/classwindowmain.h"
#include "app/consolestream.h"
#include "app/sessionguard.h"
#include "app/standardstreams.h"
#include "cli/commandline.h"
#include "cli/exercisecommand.h"
#include "offered/exercisesfolder.h"
#include "paths/paths.h"
#include "saving/logpaths.h"
#include "layout/pagesetting.h"
#include "saving/logsetting.h"
#include "saving/writerchoice.h"
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

// The exercise --exercice names, or else those the teacher offers; nothing
// when the named file is not an exercise, which is said on standard error.
std::optional<QList<Exercise>> pupilExercises(const QStringList &arguments)
{
    const std::optional<QString> file = exerciseFileArgument(arguments);
    if (!file)
        return offeredExercises().exercises();
    const std::unique_ptr<QIODevice> err = openStandardStream(StandardStream::Error);
    const std::optional<Exercise> named = err ? exerciseOfArgument(*file, *err) : std::nullopt;
    return named ? std::optional<QList<Exercise>>({*named}) : std::nullopt;
}

// The settings that could not be used, each on its own line.
QString joinedWarnings(QStringList warnings)
{
    warnings.removeAll(QString());
    return warnings.join(u'\n');
}

} // namespace

int runProgram(int argc, char *argv[], const std::function<void(QWidget &)> &beforeShow,
               const std::optional<ReadingSettings> &reading)
{
    // First of all: a file opened while one of them is closed would take its number.
    openStandardStreams();
    if (argc > 1) {
        if (const std::optional<QStringList> paths = classWindowPaths(commandLineArguments(argc, argv)))
            return runClassWindow(*paths, argv[0]);
    }
    if (const std::optional<int> status = answerCommandLine(argc, argv))
        return *status;
    const std::optional<QList<Exercise>> exercises = pupilExercises(commandLineArguments(argc, argv));
    if (!exercises)
        return 2;
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
                                 driveRoot(), writersFor(log), *exercises, page.setting,
                                 reading ? *reading : thisPupilsReading()});
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
