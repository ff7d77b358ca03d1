#include "results/logpaths.h"

#include <QDir>
#include <QStandardPaths>

QString driveRootPath(const QString &windowsPath)
{
#ifdef Q_OS_WIN
    return windowsPath;
#else
    const QString driveRoot = QStringLiteral("c:\\");
    QString relative = windowsPath;
    if (relative.startsWith(driveRoot, Qt::CaseInsensitive))
        relative.remove(0, driveRoot.size());
    relative.replace(u'\\', u'/');
    return QDir::homePath() + u'/' + relative;
#endif
}

QString resultsLogPath()
{
    return driveRootPath(QStringLiteral("c:\\estest.txt"));
}

QString rescueLogPath()
{
    // The generic location plus a fixed folder name, rather than the
    // per-application one, so the place does not depend on how the
    // application object was named.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/morvel2/estest.txt");
}
