#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>

// Where the results log lives can be set once for a whole class by a
// technician: key `log` of group `results`, an absolute path. The machine's
// setting wins; a user's own counts only where the machine sets none, so
// that a pupil cannot send the records elsewhere. On Linux the machine's
// files are morvel2/morvel2.conf in /etc/xdg and in each folder of
// XDG_CONFIG_DIRS that root owns and nobody else may change (a session may
// set that variable: any other folder it names is the user's), then the
// user's in XDG_CONFIG_HOME (~/.config by default). On Windows the same keys
// are in the registry: the machine's policy
// (HKLM\Software\Policies\morvel2\morvel2), the user's policy, then
// HKLM\Software\morvel2\morvel2, then HKCU. Without a setting the log stays
// where it always was.

// A class's per-pupil logs: the files of `folder` whose names are
// `prefix`, a login name, then `suffix`.
struct PupilLogs
{
    std::filesystem::path folder;
    QString prefix;
    QString suffix;
};

struct LogLocation
{
    std::filesystem::path path;
    // A setting that could not be used, said for the technician; the
    // default path is used instead.
    QString warning;
    // The setting names a log per pupil (%u): it must be the pupil's own.
    bool perPupil = false;
    // With %u in the file's name only: where the teacher collects them all.
    std::optional<PupilLogs> pupilLogs;
    // The setting's file or registry key, as a person reads it; empty
    // without a setting.
    QString source;
};

// Who the setting's %u and %h stand for.
struct Account
{
    QString login;
    QString host;
};
Account thisAccount();

// A value of the setting with %u made the login name, %h the machine's
// name and %% a percent sign. Any other % is a mistake, said in `problem`
// (French), as is a name that cannot be part of a path.
struct ExpandedSetting
{
    QString path;
    bool perPupil = false;
    std::optional<PupilLogs> pupilLogs;
    QString problem;
};
ExpandedSetting expandLogSetting(const QString &value, const Account &account);

// Where the setting is looked for on this system, the first that has the
// key winning: files on Linux, registry keys on Windows.
QStringList logSettingSources();
// The machine's sources alone (a technician's): what a pupil must not be
// able to change, such as where the class's exercises and reading
// adaptations are kept.
QStringList machineSettingSources();

// The setting in `source` named in the words of this system, for the
// technician: "le réglage « log » du groupe [results] dans FILE" on Linux,
// "la valeur « log » de la clé KEY\results" on Windows.
QString settingName(const QString &source);
// Where the setting is, as a technician looks for it: the file on Linux,
// the key with its \results subkey and value on Windows.
QString settingPlace(const QString &source);

// The value of key `log` of group `results` in one source, as written;
// nothing when the source does not hold it. A source that exists but cannot
// be read (not a regular file, no permission, malformed) sets `problem`,
// in French, and holds nothing.
struct SettingRead
{
    std::optional<QString> value;
    QString problem;
};
SettingRead readLogSetting(const QString &source);
// The same for any key of any group (`window`, `page`).
SettingRead readSetting(const QString &source, const QString &group, const QString &key);

// The first of `sources` that holds group/key: its value and where it was
// found; or the problem of the first source that could not be read.
struct FoundSetting
{
    std::optional<QString> value;
    QString source; // as a person reads it
    QString problem;
};
FoundSetting findSetting(const QStringList &sources, const QString &group, const QString &key);

// The log the setting names, looked for in `sources`; `fallback` without a
// usable one.
LogLocation resultsLogLocation(const QStringList &sources, const std::filesystem::path &fallback,
                               const Account &account = thisAccount());

// The same, for this user on this machine.
LogLocation resultsLogLocation();
