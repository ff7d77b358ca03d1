#include "results/logsetting.h"

QStringList logSettingSources()
{
    return {QStringLiteral("HKEY_CURRENT_USER\\Software\\morvel2\\morvel2"),
            QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\morvel2\\morvel2")};
}

QSettings::Format logSettingFormat()
{
    return QSettings::NativeFormat;
}
