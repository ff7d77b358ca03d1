#include "logfile/filesystem.h"

#include <windows.h>

namespace logfile {

bool onNetworkFileSystem(const std::filesystem::path &path)
{
    const std::wstring &whole = path.native();
    if (whole.size() >= 2 && (whole[0] == L'\\' || whole[0] == L'/') && (whole[1] == L'\\' || whole[1] == L'/'))
        return true; // \\server\share
    const std::filesystem::path root = path.root_path();
    return !root.empty() && ::GetDriveTypeW(root.c_str()) == DRIVE_REMOTE;
}

} // namespace logfile
