#include "logfile/logfile.h"

#include "logfile/openlock_win.h"

namespace logfile {

using namespace win;

namespace {

bool underWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Whether this account may list `folder`: Wine needs to, to make a file in it.
bool listable(const std::filesystem::path &folder)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder / L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() != ERROR_ACCESS_DENIED;
    FindClose(search);
    return true;
}

struct FileId
{
    DWORD volume = 0;
    DWORD high = 0;
    DWORD low = 0;
    LONGLONG size = -1;
    bool operator==(const FileId &) const = default;
};

FileId idOf(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info))
        return {};
    return {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow,
            (static_cast<LONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow};
}

// Removes the file the trial made, if it is still that file and empty. A
// pupil may not delete in a class folder set up as recommended: the empty
// log then stays, to take the pupil's records.
bool removeMade(const std::filesystem::path &log, const FileId &made)
{
    const Handle again(CreateFileW(log.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!again.valid() || made.size != 0 || !(idOf(again.get()) == made))
        return false;
    FILE_DISPOSITION_INFO remove{TRUE};
    return SetFileInformationByHandle(again.get(), FileDispositionInfo, &remove, sizeof remove);
}

} // namespace

// The rules of a pupil's own log are the share's on Windows: the trial opens
// the log as the writer does.
AppendTrial tryAppend(const std::filesystem::path &log, bool /*ownLogOnly*/)
{
    AppendTrial trial;
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    OpenedLog opened = openForAppending(log, deadline);
    if (!opened.failure.empty()) {
        trial.reason = opened.failure;
        std::error_code error;
        trial.wineListing = opened.error == ERROR_ACCESS_DENIED && underWine()
                            && !std::filesystem::exists(log, error) && !listable(log.parent_path());
        return trial;
    }
    FileId made;
    {
        const Handle file(opened.handle);
        if (GetFileType(file.get()) != FILE_TYPE_DISK) {
            trial.reason = reasons::notAFile;
            return trial;
        }
        const WritersLock lock(file.get(), deadline);
        if (!lock.failure().empty()) {
            trial.reason = lock.failure();
            return trial;
        }
        made = idOf(file.get());
    }
    trial.ok = true;
    trial.created = !opened.existed;
    trial.leftBehind = trial.created && !removeMade(log, made);
    return trial;
}

} // namespace logfile
