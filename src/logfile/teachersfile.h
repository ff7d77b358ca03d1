#pragma once

// Reading a file of a teacher's folder that pupils only read (the
// exercises they are offered and the teacher's choice of them), checked as
// the class folder's files are: reached one name at a time, never through a
// link, never waiting on the open, no larger than expected, and, where the
// file system shows owners, a file that nobody but the folder's owner (the
// teacher) and root can have changed (logfile/folderrule.h). Plain C++, no
// Qt.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace logfile {

struct TeachersFile
{
    bool ok = false;
    bool missing = false; // the folder holds nothing of that name
    std::string bytes;
    std::string reason; // when not ok: why, in French
    // The entries whose owners the file system does not show (a share):
    // nothing was judged there, the server's permissions rule.
    std::vector<std::string> unverified;
};

// The file `name` of the folder `folder`, at most `maxBytes` bytes long.
// On Windows, whose permissions the program does not read, the file is
// checked for its kind and size only.
TeachersFile readTeachersFile(const std::filesystem::path &folder, const std::string &name, std::size_t maxBytes);

} // namespace logfile
