#include "classroom/files.h"

#include "logfile/reasons.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

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
