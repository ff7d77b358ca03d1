#include "app/windowlaunch.h"

#include "cli/commandline.h"
#include "cli/exercisecommand.h"

bool opensWindow(const QStringList &arguments)
{
    return arguments.size() <= 1 || classWindowPaths(arguments).has_value()
           || exerciseFileArgument(arguments).has_value();
}
