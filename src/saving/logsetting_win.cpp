#include "saving/logsetting.h"

#include <QSettings>

QStringList logSettingSources()
{
    // Group Policy first (the technician's, then the user's policy), then
    // the machine's own key, then the user's: a pupil's own key counts only
    // where nothing above sets the log.
    return {QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Policies\\morvel2\\morvel2"),
            QStringLiteral("HKEY_CURRENT_USER\\Software\\Policies\\morvel2\\morvel2"),
            QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\morvel2\\morvel2"),
            QStringLiteral("HKEY_CURRENT_USER\\Software\\morvel2\\morvel2")};
}

QStringList machineSettingSources()
{
    // What an administrator sets: the machine's and the user's policy, and
    // the machine's own key.
    return {QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Policies\\morvel2\\morvel2"),
            QStringLiteral("HKEY_CURRENT_USER\\Software\\Policies\\morvel2\\morvel2"),
            QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\morvel2\\morvel2")};
}

// As regedit and the policy template show it: the value under the
// "results" subkey.
QString settingName(const QString &source)
{
    return QStringLiteral("la valeur « log » de la clé %1\\results").arg(source);
}

QString settingPlace(const QString &source)
{
    return QStringLiteral("%1\\results, valeur « log »").arg(source);
}

SettingRead readLogSetting(const QString &source)
{
    return readSetting(source, QStringLiteral("results"), QStringLiteral("log"));
}

SettingRead readSetting(const QString &source, const QString &group, const QString &key)
{
    const QSettings settings(source, QSettings::NativeFormat);
    if (settings.status() != QSettings::NoError)
        return {{}, QStringLiteral("le registre ne peut pas être lu")};
    const QString name = group + u'/' + key;
    if (!settings.contains(name))
        return {};
    return {settings.value(name).toString(), {}};
}
