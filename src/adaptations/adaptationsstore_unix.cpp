#include "adaptations/adaptationsstore.h"

#include "adaptations/adaptationrights.h"
#include "logfile/acl_unix.h"
#include "logfile/openlock_unix.h"
#include "logfile/pathwalk_unix.h"
#include "logfile/reasons.h"

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace posix = logfile::posix;

namespace {

struct Account
{
    std::string login;
    logfile::PupilAccount ids;
};

std::optional<Account> accountOf(const QString &login)
{
    const QByteArray name = login.toUtf8();
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwnam_r(name.constData(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return std::nullopt;
    Account account{name.toStdString(), {found->pw_uid, {}}};
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (::getgrouplist(name.constData(), found->pw_gid, groups.data(), &count) < 0) {
        groups.resize(std::size_t(count));
        ::getgrouplist(name.constData(), found->pw_gid, groups.data(), &count);
    }
    groups.resize(std::size_t(std::max(count, 0)));
    account.ids.groups.assign(groups.begin(), groups.end());
    return account;
}

// A group of the pupil's name that nobody else is in, as Debian makes one
// for each account.
bool pupilsOwnGroup(unsigned gid, const std::string &login)
{
    std::vector<char> buffer(65536);
    group entry{};
    group *found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found || found->gr_name != login)
        return false;
    for (char **member = found->gr_mem; *member; ++member)
        if (*member != login)
            return false;
    return true;
}

std::string rightsFault(int fd, const Account &pupil)
{
    struct stat status{};
    if (::fstat(fd, &status) != 0)
        return posix::systemReason(errno);
    const FileRights rights{status.st_mode & 07777u, status.st_uid, status.st_gid,
                            posix::accessListOf(fd).value_or(logfile::acl::Acl{})};
    const ReadersVerdict verdict =
        readersOf(rights, pupil.ids, [&pupil](unsigned gid) { return pupilsOwnGroup(gid, pupil.login); });
    return readersFault(verdict, pupil.login, posix::accountName, posix::groupName);
}

QString unknownAccount(const QString &login)
{
    return QStringLiteral("aucun compte « %1 » n'est connu de cette machine : personne ne peut lire ce fichier à sa "
                          "place, mais lui non plus")
        .arg(login);
}

// Gives the file the rights it should have where they can be seen and set:
// the class's readable by all, a pupil's by that pupil alone.
QString giveRights(int fd, bool made, const QString &pupil)
{
    if (pupil.isEmpty()) {
        if (made)
            posix::dropInheritedAcl(fd);
        return ::fchmod(fd, 0644) == 0 ? QString() : QString::fromStdString(posix::systemReason(errno));
    }
    const std::optional<Account> account = accountOf(pupil);
    if (!account)
        return unknownAccount(pupil);
    if (!made && rightsFault(fd, *account).empty())
        return {};
    if (!posix::setAccessList(fd, pupilOnlyList(account->ids.uid))) {
        if (errno == ENOTSUP || errno == EOPNOTSUPP || errno == ENOSYS)
            return QStringLiteral("ce dossier ne garde pas de listes de droits : le technicien doit donner à %1 seul "
                                  "le droit de lire ce fichier (voir le guide de déploiement)")
                .arg(pupil);
        return QString::fromStdString(posix::systemReason(errno));
    }
    return QString::fromStdString(rightsFault(fd, *account));
}

bool writeInPlace(int fd, const QByteArray &bytes, off_t size)
{
    std::size_t done = 0;
    while (done < std::size_t(bytes.size())) {
        const ssize_t wrote = ::pwrite(fd, bytes.constData() + done, std::size_t(bytes.size()) - done, off_t(done));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += std::size_t(wrote);
    }
    if (size > off_t(bytes.size()) && ::ftruncate(fd, off_t(bytes.size())) != 0)
        return false;
    return ::fdatasync(fd) == 0 || errno == EINVAL;
}

} // namespace

WriteOutcome writeAdaptationsFile(const std::filesystem::path &folder, const QString &name, const QByteArray &bytes,
                                  const QString &pupil)
{
    const std::string local = name.toUtf8().toStdString();
    posix::WalkedPath walked = posix::walkPath(folder / local, posix::PathRule::TeachersFolder);
    if (!walked.ok())
        return {false, QString::fromStdString(walked.failure.empty() ? posix::systemReason(walked.error)
                                                                     : walked.failure)};
    constexpr int flags = O_RDWR | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK;
    bool made = false;
    int fd = ::openat(walked.folder.get(), local.c_str(), flags);
    if (fd < 0 && errno == ENOENT) {
        // Readable by the teacher alone until its rights are given.
        fd = ::openat(walked.folder.get(), local.c_str(), flags | O_CREAT | O_EXCL, 0600);
        made = fd >= 0;
    }
    if (fd < 0)
        return {false, QString::fromUtf8(errno == ELOOP    ? logfile::reasons::isALink
                                         : errno == EACCES ? logfile::reasons::permissionDenied
                                                           : posix::systemReason(errno).c_str())};
    const posix::Descriptor open(fd);
    struct stat status{};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return {false, QString::fromUtf8(logfile::reasons::notAFile)};
    const bool visible = !posix::ownersMayBeHidden(fd);
    if (visible && status.st_uid != ::geteuid())
        return {false, QStringLiteral("il appartient à %1, pas à vous")
                           .arg(QString::fromStdString(posix::accountName(status.st_uid)))};
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // Where owners cannot be seen, the server's rights rule: only a new
    // file is given any.
    const QString rights = visible || made ? giveRights(fd, made, pupil) : QString();
    if (!writeInPlace(fd, bytes, status.st_size))
        return {false, QString::fromStdString(posix::systemReason(errno))};
    return {true, rights};
}

QString pupilFileRightsFault(const std::filesystem::path &folder, const QString &name, const QString &login)
{
    posix::WalkedPath walked = posix::walkPath(folder / name.toUtf8().toStdString(), posix::PathRule::TeachersFolder);
    if (!walked.ok())
        return {};
    const posix::Descriptor file(::openat(walked.folder.get(), walked.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (file.get() < 0 || posix::ownersMayBeHidden(file.get()))
        return {};
    const std::optional<Account> account = accountOf(login);
    return account ? QString::fromStdString(rightsFault(file.get(), *account)) : unknownAccount(login);
}

bool accountKnown(const QString &login)
{
    return accountOf(login).has_value();
}
