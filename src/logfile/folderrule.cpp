#include "logfile/folderrule.h"

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
    // Whether accounts beyond the trusted ones may write to a folder of this
    // mode and group.
    bool othersWrite(unsigned mode, unsigned group) const
    {
        if (mode & logfile::othersWrite)
            return true;
        return (mode & groupWrite) && !(teachersGroupKnown && group == teachersGroup);
    }
};

std::string name(unsigned id, std::string (*nameOf)(unsigned))
{
    return nameOf ? nameOf(id) : std::to_string(id);
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
    if (!trust.othersWrite(step.parentMode, step.parentGroup))
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

// What is wrong with the class folder itself, or nothing.
std::optional<std::string> classFolderFault(const PathStep &folder, const Trust &trust,
                                            std::string (*nameOf)(unsigned), std::string (*groupNameOf)(unsigned))
{
    if (folder.owner == trust.pupil.uid)
        return "le dossier " + folder.path + " appartient à l'élève : il doit être celui du professeur";
    if (trust.othersWrite(folder.mode, folder.group) && !(folder.mode & sticky))
        return "d'autres comptes peuvent écrire dans le dossier " + folder.path
               + " sans le bit sticky : ils pourraient renommer ou supprimer ce fichier";
    if (!(folder.mode & setGroup))
        return "le dossier " + folder.path + " n'a pas le bit setgid : le professeur ne pourrait pas lire ce fichier";
    if (trust.pupil.inGroup(folder.group))
        return "le groupe " + name(folder.group, groupNameOf) + " du dossier " + folder.path
               + " comprend l'élève : ses camarades pourraient lire ce fichier";
    if (folder.mode & othersRead)
        return "tout le monde peut lister le dossier " + folder.path;
    (void)nameOf;
    return std::nullopt;
}

} // namespace

bool PupilAccount::inGroup(unsigned group) const
{
    return std::find(groups.begin(), groups.end(), group) != groups.end();
}

PathVerdict judgePupilLogPath(const std::vector<PathStep> &steps, const PupilAccount &pupil,
                              std::string (*nameOf)(unsigned), std::string (*groupNameOf)(unsigned))
{
    if (steps.empty())
        return {};
    const PathStep &classFolder = steps.back();
    const Trust trust{pupil, classFolder.owner, !pupil.inGroup(classFolder.group), classFolder.group};
    PathVerdict verdict;
    for (const PathStep &step : steps) {
        if (!step.ownersVisible) {
            verdict.unverified.push_back(step.path);
            continue;
        }
        if (std::optional<std::string> fault = entryFault(step, trust, nameOf))
            return refused(std::move(*fault));
    }
    if (classFolder.ownersVisible)
        if (std::optional<std::string> fault = classFolderFault(classFolder, trust, nameOf, groupNameOf))
            return refused(std::move(*fault));
    return verdict;
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
    PathVerdict verdict;
    for (const PathStep &step : steps) {
        if (!step.ownersVisible) {
            verdict.unverified.push_back(step.path);
            continue;
        }
        if (std::optional<std::string> fault = entryFault(step, trust, nameOf))
            return refused(std::move(*fault));
    }
    // Even with the sticky bit, others could add what the folder lacks.
    if (folder.ownersVisible && trust.othersWrite(folder.mode, folder.group))
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
    if (trust.othersWrite(file.mode, file.group))
        return "d'autres comptes que " + name(file.owner, nameOf) + " peuvent modifier le fichier " + file.path;
    return {};
}

} // namespace logfile
