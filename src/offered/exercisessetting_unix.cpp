#include "offered/exercisessetting.h"

QString exercisesSettingPlace()
{
    return QStringLiteral("la clé « folder » du groupe [exercises] dans /etc/xdg/morvel2/morvel2.conf");
}
