#include "logfile/teachersfile.h"

#include "logfile/openlock_win.h"
#include "logfile/reasons.h"

#include <windows.h>

namespace logfile {

namespace {

TeachersFile failed(std::string reason)
{
    TeachersFile file;
    file.reason = std::move(reason);
    return file;
}

} // namespace

TeachersFile readTeachersFile(const std::filesystem::path &folder, const std::string &name, std::size_t maxBytes)
{
    const std::filesystem::path path = folder / std::filesystem::path(std::u8string(name.begin(), name.end()));
    // A link is opened as itself, and refused.
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        TeachersFile file = failed(error == ERROR_ACCESS_DENIED ? reasons::permissionDenied : win::systemReason(error));
        file.missing = error == ERROR_FILE_NOT_FOUND;
        return file;
    }
    TeachersFile file;
    BY_HANDLE_FILE_INFORMATION information{};
    LARGE_INTEGER size{};
    if (!GetFileInformationByHandle(handle, &information)
        || (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        || GetFileType(handle) != FILE_TYPE_DISK) {
        file.reason = information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT ? reasons::isALink : reasons::notAFile;
    } else if (!GetFileSizeEx(handle, &size) || static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        file.reason = "il a plus des " + std::to_string(maxBytes) + " octets qu'il peut avoir";
    } else {
        file.bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD got = 0;
        if (file.bytes.empty() || ReadFile(handle, file.bytes.data(), DWORD(file.bytes.size()), &got, nullptr)) {
            file.bytes.resize(got);
            file.ok = true;
        } else {
            file.reason = win::systemReason(GetLastError());
        }
    }
    CloseHandle(handle);
    return file;
}

} // namespace logfile
