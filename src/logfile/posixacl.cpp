#include "logfile/posixacl.h"

#include <cstdint>

namespace logfile::acl {

namespace {

constexpr std::uint32_t version = 2;
constexpr std::size_t headerSize = 4;
constexpr std::size_t entrySize = 8;
constexpr std::uint32_t undefinedId = 0xFFFFFFFF;

std::uint32_t little(std::string_view bytes, std::size_t at, std::size_t size)
{
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

void putLittle(std::string &bytes, std::uint32_t value, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i, value >>= 8)
        bytes.push_back(static_cast<char>(value & 0xFF));
}

bool known(unsigned tag)
{
    return tag == userObj || tag == user || tag == groupObj || tag == group || tag == mask || tag == other;
}

} // namespace

std::optional<Acl> parse(std::string_view bytes)
{
    if (bytes.size() < headerSize || (bytes.size() - headerSize) % entrySize != 0
        || little(bytes, 0, 4) != version)
        return std::nullopt;
    Acl acl;
    for (std::size_t at = headerSize; at < bytes.size(); at += entrySize) {
        Entry entry{little(bytes, at, 2), little(bytes, at + 2, 2) & 7, little(bytes, at + 4, 4)};
        if (!known(entry.tag))
            return std::nullopt;
        if (entry.tag != user && entry.tag != group)
            entry.id = 0;
        acl.push_back(entry);
    }
    return acl;
}

std::string serialize(const Acl &acl)
{
    std::string bytes;
    putLittle(bytes, version, 4);
    for (const Entry &entry : acl) {
        putLittle(bytes, entry.tag, 2);
        putLittle(bytes, entry.perms, 2);
        putLittle(bytes, entry.tag == user || entry.tag == group ? entry.id : undefinedId, 4);
    }
    return bytes;
}

std::vector<AclGrant> namedGrants(const Acl &acl)
{
    unsigned maskPerms = 7;
    for (const Entry &entry : acl)
        if (entry.tag == mask)
            maskPerms = entry.perms;
    std::vector<AclGrant> grants;
    for (const Entry &entry : acl)
        if (entry.tag == user || entry.tag == group)
            grants.push_back({entry.tag == group, entry.id, entry.perms & maskPerms});
    return grants;
}

Acl fromMode(unsigned mode)
{
    return {{userObj, (mode >> 6) & 7, 0}, {groupObj, (mode >> 3) & 7, 0}, {other, mode & 7, 0}};
}

std::optional<unsigned> asMode(const Acl &acl)
{
    unsigned mode = 0;
    for (const Entry &entry : acl) {
        switch (entry.tag) {
        case userObj: mode |= entry.perms << 6; break;
        case groupObj: mode |= entry.perms << 3; break;
        case other: mode |= entry.perms; break;
        default: return std::nullopt;
        }
    }
    return mode;
}

} // namespace logfile::acl
