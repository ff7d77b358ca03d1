#pragma once

// Whether a file is on a network or FUSE file system. There one machine's
// lock may not keep another machine's append out, and the owners shown are
// often the account that mounted the share, whoever made the file: the
// server's permissions rule. The writer, --verifier and the teacher's window
// ask the same question. Plain C++, no Qt.

#include <filesystem>

namespace logfile {

// Linux's statfs() f_type of a network or FUSE file system.
bool isNetworkFileSystemType(unsigned long type);

// For the file or folder at `path`, or the folder that would hold it when it
// does not exist yet; false when that cannot be told. On Windows: a UNC path
// or a drive letter mapped to a share.
bool onNetworkFileSystem(const std::filesystem::path &path);

} // namespace logfile
