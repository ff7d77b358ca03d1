#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <filesystem>

// The files of the adaptations folder on this system: read as any file of
// a teacher's folder is (logfile/teachersfile.h: reached one name at a
// time, never through a link, no larger than expected, nobody but the
// teacher able to change it), written by the teacher's window.
//
// Writing rewrites a file in place, at the one size, so that the rights on
// it stay what they are (a technician's, on a share); a pupil's file that
// does not exist yet is made the teacher's with the pupil alone allowed to
// read it: on Linux an access control list (user:LOGIN:r--, nothing for its
// group and others), on Windows its own access list (the teacher full
// control, the pupil read, nothing inherited). Where the file system keeps
// no such list (a share through FUSE), the server's rights do that work.

struct StoredFile
{
    bool ok = false;
    bool missing = false;
    QByteArray bytes;
    QString reason; // when not ok, in French
};

StoredFile readAdaptationsFile(const std::filesystem::path &folder, const QString &name);

struct WriteOutcome
{
    bool written = false;
    // Why it was not written, or what is wrong with it once written (the
    // pupil cannot read it, others can), in French; empty when all is well.
    QString problem;
};

// Writes `bytes` into the file `name` of `folder`; `pupil` is the login
// whose file it is, empty for the class's file that every pupil reads.
WriteOutcome writeAdaptationsFile(const std::filesystem::path &folder, const QString &name, const QByteArray &bytes,
                                  const QString &pupil);

// For the teacher: who may read the pupil's file `name`, when anybody but
// `login` (and its owner) may, or `login` may not; empty when the rights
// are as they should be or cannot be seen from here (a share, Windows).
QString pupilFileRightsFault(const std::filesystem::path &folder, const QString &name, const QString &login);

// Whether `login` is an account this machine knows.
bool accountKnown(const QString &login);

// The logins whose files the folder holds, for the teacher who may list it.
QStringList pupilsWithFiles(const std::filesystem::path &folder);
