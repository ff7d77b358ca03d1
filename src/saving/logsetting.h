#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>

// Where the results log lives can be set once for a whole class by a
// technician: key `log` of group `results`, an absolute path. On Linux the
// system-wide files are morvel2/morvel2.conf in each folder of
// XDG_CONFIG_DIRS (/etc/xdg by default) and the user's is
// morvel2/morvel2.conf in XDG_CONFIG_HOME (~/.config by default), the user's
// winning; on Windows the same keys are in the registry under
// Software\morvel2\morvel2, HKCU before HKLM. Without a setting the log stays
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

// The log the setting names, looked for in `sources`; `fallback` without a
// usable one.
LogLocation resultsLogLocation(const QStringList &sources, const std::filesystem::path &fallback,
                               const Account &account = thisAccount());

// The same, for this user on this machine.
LogLocation resultsLogLocation();
