#include "classroom/files.h"

#include "logfile/reasons.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace {

// Nanoseconds since 1970, as on other systems: FILETIME counts 100 ns since 1601.
qint64 nanoseconds(const FILETIME &time)
{
    const auto ticks = qint64((quint64(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    return (ticks - 116444736000000000) * 100;
}

FileStamp stampFrom(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (handle == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(handle, &information))
        return {};
    FileStamp stamp;
    stamp.known = true;
    stamp.volume = information.dwVolumeSerialNumber;
    stamp.file = (quint64(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    stamp.size = qint64((quint64(information.nFileSizeHigh) << 32) | information.nFileSizeLow);
    stamp.modified = nanoseconds(information.ftLastWriteTime);
    stamp.changed = nanoseconds(information.ftCreationTime);
    return stamp;
}

} // namespace

FileStamp stampOf(const std::filesystem::path &path, bool followLink)
{
    // Opened for its attributes only: no sharing mode of a writer's stands in the way.
    const HANDLE handle = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS | (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT),
                                       nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    const FileStamp stamp = stampFrom(handle);
    ::CloseHandle(handle);
    return stamp;
}

FileStamp stampOf(int fd)
{
    return stampFrom(reinterpret_cast<HANDLE>(::_get_osfhandle(fd)));
}

// Windows has no FIFOs at a file's name, and a link the program follows only
// where the share lets it: the file is opened as named.
int openLogForReading(const std::filesystem::path &path, const ReadRules &rules, QString &reason,
                      bool *ownerUnverified)
{
    // NTFS owners are the share's business here, never read.
    if (ownerUnverified)
        *ownerUnverified = !rules.expectedOwner.empty();
    const int fd = ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) {
        reason = QString::fromUtf8(errno == ENOENT   ? "il n'existe pas"
                                   : errno == EACCES ? logfile::reasons::permissionDenied
                                                     : "le fichier ne peut pas être lu");
        return -1;
    }
    struct _stat64 status{};
    if (::_fstat64(fd, &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) {
        ::_close(fd);
        reason = QString::fromUtf8(logfile::reasons::notAFile);
        return -1;
    }
    return fd;
}

int createNewFile(const std::filesystem::path &path, QString &reason)
{
    const int fd = ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                            _S_IREAD | _S_IWRITE);
    if (fd < 0)
        reason = QString::fromUtf8(errno == EEXIST   ? logfile::reasons::exists
                                   : errno == ENOENT ? logfile::reasons::missing
                                   : errno == EACCES ? logfile::reasons::permissionDenied
                                                     : "le fichier ne peut pas être créé");
    return fd;
}

std::string ownerName(const QString &login)
{
    return login.toStdString();
}
