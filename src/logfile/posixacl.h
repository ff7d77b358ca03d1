#pragma once

// A POSIX access control list in the form the kernel stores it, in the
// extended attributes system.posix_acl_access and system.posix_acl_default
// (linux/posix_acl_xattr.h): a 4-byte version, then 8-byte entries of a tag,
// permissions and an id, all little-endian, sorted by tag and id. Read and
// written here directly rather than through libacl: the format is small and
// fixed, and the program then needs no library beyond the C library's
// xattr calls. Plain data, no system call, so that a test goes through it.

#include "logfile/folderrule.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace logfile::acl {

enum Tag : unsigned { userObj = 0x01, user = 0x02, groupObj = 0x04, group = 0x08, mask = 0x10, other = 0x20 };
enum Permission : unsigned { maySearch = 1, mayWrite = 2, mayRead = 4 };

struct Entry
{
    unsigned tag = 0;
    unsigned perms = 0;
    unsigned id = 0; // for user and group entries only

    bool operator==(const Entry &) const = default;
};
using Acl = std::vector<Entry>;

// Nothing when the bytes are no ACL of the version the kernel writes.
std::optional<Acl> parse(std::string_view bytes);
std::string serialize(const Acl &acl);

// The named entries (setfacl's u:NAME and g:NAME) with what each grants
// once the mask is applied.
std::vector<AclGrant> namedGrants(const Acl &acl);

// The list without the named entries `keep` refuses, and with nothing for
// others: never granting more than before. Where no named entry remains, the
// list is the three entries a mode stands for, the group's being what the
// mask let it have.
template <typename Keep>
Acl narrowed(const Acl &acl, Keep keep)
{
    Acl kept;
    unsigned maskPerms = 7;
    bool named = false;
    for (const Entry &entry : acl) {
        if (entry.tag == mask)
            maskPerms = entry.perms;
        const bool isNamed = entry.tag == user || entry.tag == group;
        if (isNamed && !keep(AclGrant{entry.tag == group, entry.id, entry.perms}))
            continue;
        named = named || isNamed;
        kept.push_back(entry);
    }
    Acl result;
    for (Entry entry : kept) {
        if (entry.tag == other)
            entry.perms = 0;
        if (!named && entry.tag == mask)
            continue;
        if (!named && entry.tag == groupObj)
            entry.perms &= maskPerms;
        result.push_back(entry);
    }
    return result;
}

// The three entries a file's permission bits stand for, where it has no list.
Acl fromMode(unsigned mode);
// The permission bits a list of three entries stands for; nothing when it
// has named entries or a mask.
std::optional<unsigned> asMode(const Acl &acl);

} // namespace logfile::acl
