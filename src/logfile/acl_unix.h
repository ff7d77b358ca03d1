#pragma once

// The access control lists of files and folders on Linux, through the
// extended attributes that hold them (posixacl.h). A file system without
// them (tmpfs without acl, a FUSE share) simply has none: nothing here
// fails there.

#include "logfile/folderrule.h"
#include "logfile/posixacl.h"

#include <optional>

#include <string>
#include <vector>

namespace logfile::posix {

// The named entries of the access list (or of the default list a folder
// hands to what is made in it) of the file or folder open as `fd`, a
// descriptor opened with O_PATH too; none where it has no list.
std::vector<AclGrant> aclGrants(int fd, bool defaultList = false);

// The whole access list of the file open as `fd`; nothing where it has none.
std::optional<acl::Acl> accessListOf(int fd);
// Gives the file open as `fd` the access list `list` (which sets its mode's
// bits too); false, with errno, where the file system keeps no lists.
bool setAccessList(int fd, const acl::Acl &list);

// Takes off a file just made the access list that its folder's default
// list gave it, so that its permission bits alone say who may open it.
void dropInheritedAcl(int fd);

// The pupil's log open as `fd` in the class folder `folder`, kept from the
// classmates before a record goes in: the entries of its access list for
// anyone but the pupil, its group and the class folder's owner taken off,
// and others' permission bits, then the result read back. Empty, or why the
// log stays open to others; `path` names it there.
std::string keepFromClassmates(int fd, int folder, const std::string &path);

// The log `name` in `folder` as the rule for a pupil's log sees it; false
// when there is no such file to judge.
bool describeLog(int folder, const std::string &name, const std::string &path, LogFile &log);

} // namespace logfile::posix
