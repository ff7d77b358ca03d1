#include "saving/logpaths.h"

#include "paths/paths.h"

std::filesystem::path resultsLogPath()
{
    return driveRootPath(QStringLiteral("c:\\estest.txt"));
}

std::filesystem::path rescueLogPath()
{
    // The generic data folder plus a fixed folder name, rather than the
    // per-application one, so the place does not depend on how the
    // application object was named.
    return userDataFolder() / "morvel2" / "estest.txt";
}
