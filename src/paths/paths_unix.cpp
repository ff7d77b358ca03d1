#include "paths/paths.h"

#include "logfile/reasons.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isAbsolute(const QByteArray &path)
{
    return path.startsWith('/');
}

} // namespace

std::filesystem::path homeFolder()
{
    const QByteArray home = qgetenv("HOME");
    if (isAbsolute(home))
        return home.toStdString();
    if (const passwd *entry = ::getpwuid(::geteuid()); entry && entry->pw_dir
                                                        && isAbsolute(entry->pw_dir))
        return entry->pw_dir;
    // Nobody says where home is: at least not the root of the file system.
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    return error ? std::filesystem::path("/tmp") : here;
}

QString makePrivateFolder(const std::filesystem::path &folder)
{
    // Made private at once: another account must not get in before it is.
    if (::mkdir(folder.c_str(), 0700) == 0)
        return ::chmod(folder.c_str(), 0700) == 0
                   ? QString()
                   : QStringLiteral("impossible de protéger le dossier %1").arg(displayPath(folder));
    if (errno != EEXIST)
        return QStringLiteral("impossible de créer le dossier %1 : %2")
            .arg(displayPath(folder), errno == ENOENT   ? QStringLiteral("le dossier qui doit le contenir n'existe pas")
                                      : errno == EACCES ? QString::fromUtf8(logfile::reasons::permissionDenied)
                                                        : QString::fromLocal8Bit(std::strerror(errno)));
    struct stat status{};
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return QStringLiteral("%1 n'est pas un dossier").arg(displayPath(folder));
    if (status.st_uid != ::geteuid())
        return QStringLiteral("le dossier %1 appartient à un autre compte").arg(displayPath(folder));
    if (status.st_mode & (S_IWGRP | S_IWOTH))
        return QStringLiteral("d'autres comptes peuvent écrire dans le dossier %1").arg(displayPath(folder));
    return {};
}

QString loginName()
{
    const passwd *entry = ::getpwuid(::geteuid());
    return entry && entry->pw_name ? QFile::decodeName(entry->pw_name) : QString();
}

std::filesystem::path userDataFolder()
{
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    return isAbsolute(dataHome) ? std::filesystem::path(dataHome.toStdString())
                                : homeFolder() / ".local/share";
}

QString deploymentGuide()
{
    return QStringLiteral("/usr/share/doc/morvel2/deployment.md");
}

std::filesystem::path driveRoot()
{
    return homeFolder();
}

std::filesystem::path driveRootPath(const QString &windowsPath, const std::filesystem::path &root)
{
    const QString drive = QStringLiteral("c:\\");
    QString relative = windowsPath;
    if (relative.startsWith(drive, Qt::CaseInsensitive))
        relative.remove(0, drive.size());
    relative.replace(u'\\', u'/');
    return root / localPath(relative);
}

std::filesystem::path localPath(const QString &path)
{
    std::string bytes;
    qsizetype runStart = 0;
    const auto flushRun = [&](qsizetype end) {
        bytes += QStringView(path).sliced(runStart, end - runStart).toUtf8().toStdString();
    };
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t code = path[i].unicode();
        const bool keptByte = code >= 0xDC80 && code <= 0xDCFF && (i == 0 || !path[i - 1].isHighSurrogate());
        if (!keptByte)
            continue;
        flushRun(i);
        bytes += static_cast<char>(code - 0xDC00);
        runStart = i + 1;
    }
    flushRun(path.size());
    return bytes;
}

QString displayPath(const std::filesystem::path &path)
{
    return pathText(QByteArray::fromStdString(path.native()));
}

QString pathText(const QByteArray &bytes)
{
    static constexpr char32_t least[] = {0, 0, 0x80, 0x800, 0x10000}; // below: an overlong form
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        bool valid = length > 0 && i + length <= bytes.size();
        char32_t code = lead & (length == 1 ? 0x7F : 0xFF >> (length + 1));
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        valid = valid && code >= least[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        if (!valid) {
            text += QChar(static_cast<char16_t>(0xDC00 + lead));
            ++i;
            continue;
        }
        text += QString::fromUcs4(&code, 1);
        i += length;
    }
    return text;
}
