#pragma once

#include "logfile/folderrule.h"
#include "logfile/posixacl.h"

#include <functional>
#include <string>
#include <vector>

// Who may read a pupil's adaptations file, from its permission bits and its
// access control list: the pupil must, and nobody else but its owner (the
// teacher) and root, so that no classmate learns what it says. Plain data
// in, a verdict out; the teacher's window gathers the data and says the
// verdict, and the writer gives a new file the list pupilOnlyList() makes.
//
// A group counts as the pupil's own where `ownGroup` says so (Debian gives
// each account a group of its name and nobody else in it): a technician
// may give the pupil the file through that group instead of a list.

struct FileRights
{
    unsigned mode = 0; // st_mode's permission bits
    unsigned owner = 0;
    unsigned group = 0;
    logfile::acl::Acl acl; // empty where the file has no list
};

struct ReadersVerdict
{
    bool pupilReads = false;
    // Besides the pupil, the owner and root: who may read it. A grant with
    // `group` false and id everybody is anybody at all.
    std::vector<logfile::AclGrant> others;
    static constexpr unsigned everybody = ~0u;
};

ReadersVerdict readersOf(const FileRights &file, const logfile::PupilAccount &pupil,
                         const std::function<bool(unsigned gid)> &ownGroup);

// The verdict in French for the teacher, naming `login`; empty when only
// the pupil (and the teacher) may read the file.
std::string readersFault(const ReadersVerdict &verdict, const std::string &login,
                         std::string (*nameOf)(unsigned uid), std::string (*groupNameOf)(unsigned gid));

// The list that lets the owner read and write the file and `pupil` read it,
// and nobody else anything.
logfile::acl::Acl pupilOnlyList(unsigned pupil);
