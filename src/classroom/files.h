#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <algorithm>

#include <filesystem>
#include <string>

// Opening the files of a class for the teacher, as the system's own bytes
// name them, and never waiting on one: what --bilan, the collect and the
// teacher's window read, and the spreadsheet they write.

// How a log is opened: never waiting (a FIFO, a device at its name is no
// log), and without following a link unless `followLink` (a file the
// teacher named, rather than one found in a pupils' folder).
// A log that claims far more bytes than its disk blocks hold (sparse) is
// not read. With `expectedOwner` (a login, as its bytes), a log that belongs
// neither to that pupil nor to the account reading (who may have collected
// it) is set aside: a file planted under a classmate's name.
struct ReadRules
{
    bool followLink = false;
    std::string expectedOwner;
};

// The open log, as a descriptor a QFile can take, or -1 with why (French).
// `ownerUnverified`, when given, says whether an `expectedOwner` could not be
// checked: the file system does not show owners (a share through FUSE shows
// every file as the reader's), or, on Windows, the program never reads them.
int openLogForReading(const std::filesystem::path &path, const ReadRules &rules, QString &reason,
                      bool *ownerUnverified = nullptr);

// What tells a file from another between two readings without reading it:
// which file it is on its volume (device and inode; volume serial and file
// index on Windows), its size and when it last changed. A log replaced by
// another file, or changed in any way, has another stamp.
struct FileStamp
{
    bool known = false; // false: the file could not be looked at
    quint64 volume = 0;
    quint64 file = 0;
    qint64 size = 0;
    // In nanoseconds since 1970: when its bytes last changed, and when it
    // last changed in any way (the creation time on Windows).
    qint64 modified = 0;
    qint64 changed = 0;

    bool sameFile(const FileStamp &other) const
    {
        return known && other.known && volume == other.volume && file == other.file;
    }
    bool operator==(const FileStamp &) const = default;
    // Whether it changed so lately that a change within the file system's
    // time step may not show in its times yet: such a stamp is checked
    // against the file's bytes rather than trusted.
    bool changedLately() const
    {
        // Two seconds: the coarsest time step of the file systems a class may be on (FAT).
        const qint64 now = QDateTime::currentMSecsSinceEpoch() * 1000000;
        return std::max(modified, changed) > now - qint64(2000000000);
    }
};

// The stamp of the file at `path`, through a link only with `followLink`.
FileStamp stampOf(const std::filesystem::path &path, bool followLink);
// The stamp of an open file (a descriptor from openLogForReading()).
FileStamp stampOf(int fd);

// A new file for the teacher's eyes only (0600 on POSIX systems), never
// over an existing one or through a link; a descriptor a QFile can take, or
// -1 with why (French).
int createNewFile(const std::filesystem::path &path, QString &reason);

// A pupil's login as the collect compares it with a log's owner: the login's
// own bytes on POSIX systems; on Windows, where the share's permissions
// decide and owners are never read, its UTF-8.
std::string ownerName(const QString &login);
