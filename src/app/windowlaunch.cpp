#include "app/windowlaunch.h"

bool opensWindow(const QStringList &arguments)
{
    bool classe = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--"))
            break;
        if (argument == QLatin1String("--classe") || argument.startsWith(QLatin1String("--classe=")))
            classe = true;
        else if (argument.startsWith(u'-'))
            return false;
    }
    return classe || arguments.size() <= 1;
}
