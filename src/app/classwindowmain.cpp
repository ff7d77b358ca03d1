#include "app/classwindowmain.h"

#include "app/applicationsetup.h"
#include "app/fontfaces.h"
#include "paths/paths.h"
#include "saving/logpaths.h"

#include <QApplication>

ClassWindowContext classWindowContext(const QStringList &paths, const LogLocation &log)
{
    ClassWindowContext context;
    context.naming = namingFor(log);
    context.machineClass = log.pupilLogs;
    context.sharedSetting = !log.perPupil;
    context.paths = paths;
    context.exercises = machineExerciseLookup();
    context.adaptations = adaptationsFolder();
    if (paths.isEmpty())
        context.paths = {displayPath(log.pupilLogs ? log.pupilLogs->folder : log.path)};
    return context;
}

int runClassWindow(const QStringList &paths, char *programName)
{
    int toolkitArgc = 1;
    char *toolkitArgv[] = {programName, nullptr};
    QApplication app(toolkitArgc, toolkitArgv);
    setUpApplication();
    QApplication::setFont(classWindowFont(QApplication::font()));
    ClassWindow window(classWindowContext(paths, resultsLogLocation()));
    window.show();
    return QApplication::exec();
}
