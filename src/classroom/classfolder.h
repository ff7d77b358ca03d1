#pragma once

#include "saving/logsetting.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <filesystem>

// Which files of a class folder are pupils' logs: the one rule for the
// collect of a class, --bilan and the teacher's window. On a machine whose
// setting names a log per pupil by its file's name (log=/srv/classe/cm1-%u.log),
// the files named by that prefix, a login and that suffix; where the reading
// machine has no such setting (a teacher's own computer), every *.txt, the
// pupil named by what stands before ".txt". Names stay the system's bytes
// from the listing to the file opened: a name that is not UTF-8 still names
// its file.

struct LogNaming
{
    QString prefix;
    QString suffix = QStringLiteral(".txt");

    // The login a file name stands for, or nothing when the name is not a
    // pupil's log's (an empty login included).
    std::optional<QString> pupilOf(const QString &fileName) const;
};

// The naming of this machine's per-pupil setting, or *.txt without one.
LogNaming namingFor(const LogLocation &log);

struct PupilLogFile
{
    std::filesystem::path path; // the system's own bytes
    QString pupil;              // the login, as paths/paths.h pathText() keeps it
};

// A file the rule names but does not read, and why, both printable.
struct SetAsideFile
{
    QString file;
    QString reason;
};

struct ClassFolderListing
{
    QList<PupilLogFile> logs; // the pupils in French order
    // Named by the rule but not a plain file (a link, a FIFO, a folder), or
    // not named by it at all: each once, with why, printable.
    QList<SetAsideFile> setAside;
    // The files the rule does not name: the first `ignoredNamesKept` of
    // them by their names, in French order, printable, and how many there
    // are. A classmate may make a hundred thousand.
    QStringList ignored;
    qsizetype ignoredCount = 0;
    QString failure; // the folder could not be listed, in French
};

inline constexpr qsizetype ignoredNamesKept = 200;

// "… et 99 800 autres fichiers ignorés" after the `named` names of `count`
// ignored files; empty when every one was named.
QString otherIgnoredFiles(qsizetype named, qsizetype count);

ClassFolderListing listClassFolder(const std::filesystem::path &folder, const LogNaming &naming);
