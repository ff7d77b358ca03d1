#include "logfile/folderrule.h"

#include "logfile/reasons.h"

#include <algorithm>
#include <optional>

namespace logfile {

namespace {

constexpr unsigned groupWrite = 0020;
constexpr unsigned othersWrite = 0002;
constexpr unsigned othersRead = 0004;
constexpr unsigned sticky = 01000;
constexpr unsigned setGroup = 02000;

struct Trust
{
    const PupilAccount &pupil;
    unsigned classOwner;
    // The class folder's group, where the pupil is not in it: the teachers'.
    bool teachersGroupKnown;
    unsigned teachersGroup;

    bool account(unsigned uid) const { return uid == 0 || uid == pupil.uid || uid == classOwner; }
    bool teachers(unsigned group) const { return teachersGroupKnown && group == teachersGroup; }
    // Whether an entry of a folder's access control list is for the trusted
    // accounts: to write there, the pupil is one; to list the class
    // folder, only the teachers are.
    bool trusted(const AclGrant &grant, bool listing) const
    {
        if (grant.group)
            return teachers(grant.id);
        return listing ? grant.id == 0 || grant.id == classOwner : account(grant.id);
    }
    // Whether accounts beyond the trusted ones may write to a folder of this
    // mode, group and access control list.
    bool othersWrite(unsigned mode, unsigned group, const std::vector<AclGrant> &acl) const
    {
        if ((mode & logfile::othersWrite) || ((mode & groupWrite) && !teachers(group)))
            return true;
        return std::any_of(acl.begin(), acl.end(),
                           [this](const AclGrant &grant) { return (grant.perms & 2) && !trusted(grant, false); });
    }
};

std::string name(unsigned id, std::string (*nameOf)(unsigned))
{
    return nameOf ? nameOf(id) : std::to_string(id);
}

std::string grantee(const AclGrant &grant, std::string (*nameOf)(unsigned), std::string (*groupNameOf)(unsigned))
{
    return grant.group ? "au groupe " + name(grant.id, groupNameOf) : "au compte " + name(grant.id, nameOf);
}

PathVerdict refused(std::string reason)
{
    return {false, std::move(reason), {}};
}

// What is wrong with one entry of the path, or nothing.
std::optional<std::string> entryFault(const PathStep &step, const Trust &trust, std::string (*nameOf)(unsigned))
{
    if (!trust.account(step.parentOwner))
        return "le dossier " + step.parentPath + " appartient à " + name(step.parentOwner, nameOf)
               + ", qui pourrait y remplacer " + step.path;
    if (!trust.othersWrite(step.parentMode, step.parentGroup, step.parentAcl))
        return std::nullopt;
    if (!(step.parentMode & sticky))
        return "d'autres comptes peuvent écrire dans le dossier " + step.parentPath
               + " sans le bit sticky : ils pourraient y remplacer " + step.path;
    // Anybody may make a folder there: only root's is above suspicion.
    if (step.owner != 0)
        return "le dossier " + step.path + " appartient à " + name(step.owner, nameOf) + " dans " + step.parentPath
               + ", où tout le monde peut créer des dossiers : un autre compte a pu le faire";
    return std::nullopt;
}

// What is wrong with the class folder itself, or nothing. In the account's
// own folder, the pupil is unknown.
std::optional<std::string> classFolderFault(const PathStep &folder, const Trust &trust, bool ownFolder,
                                            std::string (*nameOf)(unsigned), std::string (*groupNameOf)(unsigned))
{
    if (trust.othersWrite(folder.mode, folder.group, folder.acl) && !(folder.mode & sticky))
        return "d'autres comptes peuvent écrire dans le dossier " + folder.path
               + " sans le bit sticky : ils pourraient renommer ou supprimer ce fichier";
    if (!(folder.mode & setGroup))
        return "le dossier " + folder.path + " n'a pas le bit setgid : le professeur ne pourrait pas lire ce fichier";
    if (!ownFolder && trust.pupil.inGroup(folder.group))
        return "le groupe " + name(folder.group, groupNameOf) + " du dossier " + folder.path
               + " comprend l'élève : ses camarades pourraient lire ce fichier";
    if (folder.mode & othersRead)
        return "tout le monde peut lister le dossier " + folder.path;
    for (const AclGrant &grant : folder.acl)
        if ((grant.perms & 4) && !trust.trusted(grant, true))
            return "la liste de droits (ACL) du dossier " + folder.path + " permet " + grantee(grant, nameOf, groupNameOf)
                   + " de le lister : les élèves y verraient les noms des fichiers des autres";
    return std::nullopt;
}

} // namespace

bool PupilAccount::inGroup(unsigned group) const
{
    return std::find(groups.begin(), groups.end(), group) != groups.end();
}

namespace {

// Every entry on the way under `trust`; those on a file system that hides
// owners are only noted.
PathVerdict judgeSteps(const std::vector<PathStep> &steps, const Trust &trust, std::string (*nameOf)(unsigned))
{
    PathVerdict verdict;
    for (const PathStep &step : steps) {
        if (!step.ownersVisible) {
            verdict.unverified.push_back(step.path);
            continue;
        }
        if (std::optional<std::string> fault = entryFault(step, trust, nameOf))
            return refused(std::move(*fault));
    }
    return verdict;
}

} // namespace

PathVerdict judgePupilLogPath(const std::vector<PathStep> &steps, const PupilAccount &pupil,
                              std::string (*nameOf)(unsigned), std::string (*groupNameOf)(unsigned))
{
    if (steps.empty())
        return {};
    const PathStep &classFolder = steps.back();
    const bool ownFolder = classFolder.ownersVisible && classFolder.owner == pupil.uid;
    // In the account's own folder, its group is the teacher's.
    const Trust trust{pupil, classFolder.owner, ownFolder || !pupil.inGroup(classFolder.group), classFolder.group};
    PathVerdict verdict = judgeSteps(steps, trust, nameOf);
    if (!verdict.safe)
        return verdict;
    if (classFolder.ownersVisible)
        if (std::optional<std::string> fault = classFolderFault(classFolder, trust, ownFolder, nameOf, groupNameOf))
            verdict = refused(std::move(*fault));
    // A pupil's log is never kept in the pupil's own folder: the teacher
    // could not be sure of it.
    if (ownFolder && verdict.safe)
        verdict = refused(ownFolderReason(classFolder.path));
    verdict.ownFolder = ownFolder;
    return verdict;
}

std::string ownFolderReason(const std::string &folder)
{
    return "le dossier " + folder + " est celui de ce compte : le fichier d'un élève doit être dans le dossier "
           "d'un autre compte, celui du professeur";
}

bool keptOnPupilLog(const AclGrant &grant, const LogFile &log, unsigned classOwner)
{
    return grant.group ? grant.id == log.group : grant.id == log.owner || grant.id == classOwner;
}

std::string pupilLogFault(const LogFile &log, unsigned pupil, unsigned classOwner, std::string (*nameOf)(unsigned),
                          std::string (*groupNameOf)(unsigned))
{
    if (!log.regular)
        return log.path + " : " + reasons::notAFile;
    // Where the file system shows every file as the mounting account's,
    // owners and modes say nothing; a list of rights still does.
    if (log.ownersVisible && log.owner != pupil)
        return "le fichier " + log.path + " appartient à " + name(log.owner, nameOf) + " : un autre compte l'a fait";
    if (log.ownersVisible && (log.mode & (othersRead | othersWrite)))
        return "tout le monde peut lire ou changer le fichier " + log.path;
    for (const AclGrant &grant : log.acl)
        if ((grant.perms & 6) && !keptOnPupilLog(grant, log, classOwner))
            return "la liste de droits (ACL) du fichier " + log.path + " permet " + grantee(grant, nameOf, groupNameOf)
                   + " de le lire ou de le changer";
    return {};
}

PathVerdict judgeTeachersFolderPath(const std::vector<PathStep> &steps, const PupilAccount &reader,
                                    std::string (*nameOf)(unsigned))
{
    if (steps.empty())
        return {};
    const PathStep &folder = steps.back();
    // The teacher stands where the pupil stands for a log: the one account
    // trusted beside root.
    const PupilAccount teacher{folder.owner, {}};
    const Trust trust{teacher, folder.owner, !reader.inGroup(folder.group), folder.group};
    PathVerdict verdict = judgeSteps(steps, trust, nameOf);
    if (!verdict.safe)
        return verdict;
    // Even with the sticky bit, others could add what the folder lacks.
    if (folder.ownersVisible && trust.othersWrite(folder.mode, folder.group, folder.acl))
        return refused("d'autres comptes que " + name(folder.owner, nameOf) + " peuvent écrire dans le dossier "
                       + folder.path);
    return verdict;
}

std::string teachersFileFault(const PathStep &file, const PupilAccount &reader, std::string (*nameOf)(unsigned))
{
    if (!file.ownersVisible)
        return {};
    const PupilAccount teacher{file.parentOwner, {}};
    const Trust trust{teacher, file.parentOwner, !reader.inGroup(file.parentGroup), file.parentGroup};
    if (!trust.account(file.owner))
        return "le fichier " + file.path + " appartient à " + name(file.owner, nameOf) + ", pas à "
               + name(file.parentOwner, nameOf) + " à qui est le dossier";
    if (trust.othersWrite(file.mode, file.group, file.acl))
        return "d'autres comptes que " + name(file.owner, nameOf) + " peuvent modifier le fichier " + file.path;
    return {};
}

} // namespace logfile
