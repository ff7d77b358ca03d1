#pragma once

// Whether a pupil's log is safe where the setting puts it: the rule for
// every folder on the way to it, and for the log itself. Plain data in, a
// verdict out, so that the rule is a table of modes, owners and access
// control lists that a test goes through; the path walk (pathwalk_unix.h)
// gathers the data as it goes.
//
// The property: no account but the pupil, root, and the account that owns
// the class folder (with the class folder's group, where the pupil is not
// in it) can read, change, delete, rename or replace the pupil's log, or any
// folder entry on the way to it, nor list the class folder.

#include <string>
#include <vector>

namespace logfile {

// A named entry of a POSIX access control list (setfacl's u:NAME or
// g:NAME) with what it grants once the list's mask is applied: 4 read (or
// list), 2 write, 1 search.
struct AclGrant
{
    bool group = false;
    unsigned id = 0;
    unsigned perms = 0;
};

// One entry on the way to the log (a folder, or a link the walk followed),
// with the folder that holds it. Modes are st_mode's permission bits.
struct PathStep
{
    std::string path; // the entry as a person reads it
    unsigned mode = 0;
    unsigned owner = 0;
    unsigned group = 0;
    unsigned parentMode = 0;
    unsigned parentOwner = 0;
    unsigned parentGroup = 0;
    std::string parentPath;
    // The named entries of each one's access control list, if it has one.
    std::vector<AclGrant> acl;
    std::vector<AclGrant> parentAcl;
    // False where the file system shows every file as the account that
    // mounted it (a share through FUSE, cifs with uid=, many NFS set-ups):
    // there owners and modes say nothing, and the server's permissions rule.
    bool ownersVisible = true;
};

// The account whose log it is.
struct PupilAccount
{
    unsigned uid = 0;
    std::vector<unsigned> groups; // the primary group among them
    bool inGroup(unsigned group) const;
};

struct PathVerdict
{
    bool safe = true;
    std::string reason; // when not safe: which folder, and what is wrong, in French
    // The entries whose owners could not be seen: nothing was judged there.
    std::vector<std::string> unverified;
    // The class folder is the account's own: run by the teacher, the check
    // says nothing about the pupils. The class folder's other rules were
    // still judged, as far as they do not depend on the pupil.
    bool ownFolder = false;
};

// `steps` from the root down, the last being the class folder that holds
// the log; owner and group names in the reasons come from `nameOf`.
PathVerdict judgePupilLogPath(const std::vector<PathStep> &steps, const PupilAccount &pupil,
                              std::string (*nameOf)(unsigned uid) = nullptr,
                              std::string (*groupNameOf)(unsigned gid) = nullptr);

// Why a pupil's log is not kept in `folder`, the account's own, when
// nothing else is wrong with it.
std::string ownFolderReason(const std::string &folder);

// The pupil's log itself, as it stands in the class folder.
struct LogFile
{
    std::string path;
    bool regular = true;
    unsigned mode = 0;  // st_mode's permission bits
    unsigned owner = 0;
    unsigned group = 0;
    std::vector<AclGrant> acl;
    bool ownersVisible = true;
};

// Whether an access control list entry of a pupil's log may stay: the
// pupil's, the log's group's and the class folder owner's (the teacher's).
bool keptOnPupilLog(const AclGrant &grant, const LogFile &log, unsigned classOwner);

// What lets anybody but the pupil and the teachers read or change the log:
// a file of another account's, others' permission bits, or an entry of its
// access control list; empty when nothing does.
std::string pupilLogFault(const LogFile &log, unsigned pupil, unsigned classOwner,
                          std::string (*nameOf)(unsigned uid) = nullptr,
                          std::string (*groupNameOf)(unsigned gid) = nullptr);

// The same rule for a teacher's folder that pupils only read (the exercises
// they are offered): no account but root and the folder's owner (the
// teacher) can change, delete, rename or replace the folder, any folder
// entry on the way to it, or what it holds. The folder's group counts as
// the teachers' only where `reader` is not in it. `steps` from the root
// down, the last being the folder itself.
PathVerdict judgeTeachersFolderPath(const std::vector<PathStep> &steps, const PupilAccount &reader,
                                    std::string (*nameOf)(unsigned uid) = nullptr);

// A file of that folder (`file` as a step whose parent is the folder): it
// must be the folder owner's or root's, and nobody else may change it. Why
// not, in French, or empty.
std::string teachersFileFault(const PathStep &file, const PupilAccount &reader,
                              std::string (*nameOf)(unsigned uid) = nullptr);

} // namespace logfile
