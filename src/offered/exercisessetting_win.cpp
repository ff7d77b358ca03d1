#include "offered/exercisessetting.h"

QString exercisesSettingPlace()
{
    return QStringLiteral("la stratégie de groupe « Dossier des exercices » (la valeur « folder » de la clé "
                          "HKEY_LOCAL_MACHINE\\Software\\Policies\\morvel2\\morvel2\\exercises)");
}
