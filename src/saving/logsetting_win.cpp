#include "saving/logsetting.h"

#include <QSettings>

QStringList logSettingSources()
{
    return {QStringLiteral("HKEY_CURRENT_USER\\Software\\morvel2\\morvel2"),
            QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\morvel2\\morvel2")};
}

SettingRead readLogSetting(const QString &source)
{
    const QSettings settings(source, QSettings::NativeFormat);
    if (settings.status() != QSettings::NoError)
        return {{}, QStringLiteral("le registre ne peut pas être lu")};
    if (!settings.contains(QStringLiteral("results/log")))
        return {};
    return {settings.value(QStringLiteral("results/log")).toString(), {}};
}
