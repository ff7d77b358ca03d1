#include "adaptations/adaptationrights.h"

#include <algorithm>

namespace acl = logfile::acl;

namespace {

constexpr unsigned readBit = acl::mayRead;

struct Lists
{
    acl::Acl entries;
    unsigned mask = 7;
};

// The file's list, or the three entries its mode stands for.
Lists listOf(const FileRights &file)
{
    Lists lists{file.acl.empty() ? acl::fromMode(file.mode) : file.acl, 7};
    for (const acl::Entry &entry : lists.entries)
        if (entry.tag == acl::mask)
            lists.mask = entry.perms;
    return lists;
}

unsigned permsOf(const acl::Acl &entries, unsigned tag)
{
    for (const acl::Entry &entry : entries)
        if (entry.tag == tag)
            return entry.perms;
    return 0;
}

// Whether `pupil` may read, as the kernel decides: the owner's entry, a
// named user's, then the groups', then others'.
bool pupilMayRead(const FileRights &file, const Lists &lists, const logfile::PupilAccount &pupil)
{
    if (pupil.uid == file.owner)
        return permsOf(lists.entries, acl::userObj) & readBit;
    for (const acl::Entry &entry : lists.entries)
        if (entry.tag == acl::user && entry.id == pupil.uid)
            return entry.perms & lists.mask & readBit;
    bool inAGroup = false;
    for (const acl::Entry &entry : lists.entries) {
        const bool member = (entry.tag == acl::groupObj && pupil.inGroup(file.group))
                            || (entry.tag == acl::group && pupil.inGroup(entry.id));
        if (!member)
            continue;
        inAGroup = true;
        const unsigned masked = entry.perms & (file.acl.empty() ? 7 : lists.mask);
        if (masked & readBit)
            return true;
    }
    return !inAGroup && (permsOf(lists.entries, acl::other) & readBit);
}

} // namespace

ReadersVerdict readersOf(const FileRights &file, const logfile::PupilAccount &pupil,
                         const std::function<bool(unsigned)> &ownGroup)
{
    const Lists lists = listOf(file);
    ReadersVerdict verdict;
    verdict.pupilReads = pupilMayRead(file, lists, pupil);
    const unsigned groupMask = file.acl.empty() ? 7 : lists.mask;
    for (const acl::Entry &entry : lists.entries) {
        const unsigned masked = entry.tag == acl::userObj || entry.tag == acl::other ? entry.perms
                                                                                      : entry.perms & groupMask;
        if (!(masked & readBit))
            continue;
        if (entry.tag == acl::other)
            verdict.others.push_back({false, ReadersVerdict::everybody, readBit});
        else if (entry.tag == acl::user && entry.id != pupil.uid && entry.id != file.owner && entry.id != 0)
            verdict.others.push_back({false, entry.id, readBit});
        else if (entry.tag == acl::groupObj && !ownGroup(file.group))
            verdict.others.push_back({true, file.group, readBit});
        else if (entry.tag == acl::group && !ownGroup(entry.id))
            verdict.others.push_back({true, entry.id, readBit});
    }
    return verdict;
}

std::string readersFault(const ReadersVerdict &verdict, const std::string &login,
                         std::string (*nameOf)(unsigned), std::string (*groupNameOf)(unsigned))
{
    std::vector<std::string> who;
    for (const logfile::AclGrant &grant : verdict.others) {
        if (!grant.group && grant.id == ReadersVerdict::everybody)
            who.push_back("tout le monde");
        else if (grant.group)
            who.push_back("le groupe " + (groupNameOf ? groupNameOf(grant.id) : std::to_string(grant.id)));
        else
            who.push_back("le compte " + (nameOf ? nameOf(grant.id) : std::to_string(grant.id)));
    }
    std::string fault;
    if (!verdict.pupilReads)
        fault = login + " ne peut pas le lire";
    if (!who.empty()) {
        std::string list;
        for (const std::string &one : who)
            list += (list.empty() ? "" : ", ") + one;
        fault += (fault.empty() ? "" : " ; ") + std::string("d'autres que ") + login + " peuvent le lire : " + list;
    }
    return fault;
}

acl::Acl pupilOnlyList(unsigned pupil)
{
    return {{acl::userObj, acl::mayRead | acl::mayWrite, 0},
            {acl::user, acl::mayRead, pupil},
            {acl::groupObj, 0, 0},
            {acl::mask, acl::mayRead, 0},
            {acl::other, 0, 0}};
}
